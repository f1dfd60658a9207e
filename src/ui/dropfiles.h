// What a drag carries: its local files, and whether a file is a project file
// (which the window opens rather than taking it as a picture).
#pragma once

#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace ui {

inline QStringList LocalFiles(const QMimeData* mime) {
  QStringList files;
  if (!mime) return files;
  for (const QUrl& u : mime->urls())
    if (u.isLocalFile()) files << u.toLocalFile();
  return files;
}

inline bool IsProjectFile(const QString& file) {
  const QString ext = QFileInfo(file).suffix().toLower();
  return ext == QLatin1String("pk2") || ext == QLatin1String("pkd");
}

// Files that are pictures for a picture drop: some, and not one project file.
inline bool ArePictureFiles(const QStringList& files) {
  return !files.isEmpty() && !(files.size() == 1 && IsProjectFile(files.front()));
}

}  // namespace ui
