#include "ui/recentfiles.h"

#include <QFileInfo>

namespace ui {

void RecentFiles::Add(const QString& file) {
  if (file.isEmpty()) return;
  const QString abs = QFileInfo(file).absoluteFilePath();
  files_.removeAll(abs);
  files_.prepend(abs);
  while (files_.size() > kMax) files_.removeLast();
}

void RecentFiles::Remove(const QString& file) { files_.removeAll(file); }

void RecentFiles::Set(const QStringList& files) {
  files_.clear();
  for (const QString& f : files)
    if (!f.isEmpty() && !files_.contains(f) && files_.size() < kMax) files_ << f;
}

QString RecentFiles::MenuText(int i, const QString& file) {
  QString name = QFileInfo(file).fileName();
  name.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 ").arg(i + 1) + name;
}

}  // namespace ui
