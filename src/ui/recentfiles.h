// The project files used last, newest first, kept per user.
#pragma once

#include <QString>
#include <QStringList>

namespace ui {

class RecentFiles {
 public:
  static constexpr int kMax = 8;

  // Puts `file` (made absolute) first; a name already listed moves up, the
  // ninth drops out. Names compare as the file system does (exactly).
  void Add(const QString& file);
  void Remove(const QString& file);
  const QStringList& Files() const { return files_; }
  // Takes a stored list, dropping empty and repeated names and any past kMax.
  void Set(const QStringList& files);

  // The menu text of entry i: "&1 name.pk2" (the file name without folder).
  static QString MenuText(int i, const QString& file);

 private:
  QStringList files_;
};

}  // namespace ui
