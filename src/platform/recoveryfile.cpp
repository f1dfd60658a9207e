#include "platform/recoveryfile.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <string_view>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "project/projectfile.h"

namespace platform {
namespace {

// "QLRC1 <bytes of the project name> <ms since 1970, UTC>\n", the project
// name in UTF-8, then the document as a project file. Lengths, not line
// ends, delimit the name: a file name may hold any character.
const std::string_view kMagic = "QLRC1 ";
const QLatin1String kSuffix(".qlr");

// When the process started, in clock ticks after boot (field 22 of
// /proc/<pid>/stat); empty when there is no such process. Where /proc is
// missing, "0" for any process that exists.
std::string ProcessStart(qint64 pid) {
  QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) {
    if (QFileInfo::exists(QStringLiteral("/proc/self/stat"))) return {};
    return pid > 0 && kill(pid_t(pid), 0) == 0 ? "0" : std::string();
  }
  const QByteArray stat = f.readAll();
  // The command name (field 2) is in parentheses and may hold blanks.
  const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
  return fields.size() > 19 ? fields[19].toStdString() : std::string("0");
}

// Whether the program that named a copy "<pid>-<start>-..." still runs.
bool OwnerRuns(const QString& fileName) {
  const QStringList parts = fileName.split(QLatin1Char('-'));
  if (parts.size() < 3) return false;
  bool ok = false;
  const qint64 pid = parts[0].toLongLong(&ok);
  if (!ok) return false;
  const std::string start = ProcessStart(pid);
  return !start.empty() && (start == "0" || parts[1].toStdString() == start);
}

bool ParseHeader(const std::string& bytes, RecoveryCopy& copy, size_t& body) {
  if (bytes.compare(0, kMagic.size(), kMagic) != 0) return false;
  const size_t eol = bytes.find('\n', kMagic.size());
  if (eol == std::string::npos || eol > 64) return false;
  const std::string head = bytes.substr(kMagic.size(), eol - kMagic.size());
  const size_t blank = head.find(' ');
  if (blank == std::string::npos) return false;
  bool ok1 = false, ok2 = false;
  const qulonglong nameBytes = QByteArray::fromStdString(head.substr(0, blank)).toULongLong(&ok1);
  const qlonglong ms = QByteArray::fromStdString(head.substr(blank + 1)).toLongLong(&ok2);
  if (!ok1 || !ok2 || nameBytes > bytes.size() - eol - 1) return false;
  copy.project = ql::FromUtf8(bytes.substr(eol + 1, nameBytes));
  copy.written = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
  body = eol + 1 + nameBytes;
  return true;
}

bool ReadAll(const QString& path, std::string& out) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  out = f.readAll().toStdString();
  return true;
}

}  // namespace

QString DefaultRecoveryFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/Quillane/recovery");
}

RecoveryFile::RecoveryFile(const QString& folder) : folder_(folder) {
  static std::atomic<int> serial{0};
  const qint64 pid = QCoreApplication::applicationPid();
  std::string start = ProcessStart(pid);
  if (start.empty()) start = "0";
  prefix_ = QStringLiteral("%1-%2-%3").arg(pid).arg(QString::fromStdString(start)).arg(serial++);
  path_ = folder_ + QLatin1Char('/') + prefix_ + kSuffix;
}

bool RecoveryFile::Write(const Document& doc, const QDateTime& now, std::u16string* error) {
  if (!QDir().mkpath(folder_)) {
    if (error) *error = i18n::Say(i18n::Text::CannotCreateFolderPlain, {folder_.toStdU16String()});
    return false;
  }
  const std::string name = ql::ToUtf8(doc.afilename);
  std::string bytes(kMagic);
  bytes += std::to_string(name.size()) + ' ' + std::to_string(now.toMSecsSinceEpoch()) + '\n';
  bytes += name;
  // No project folder: picture names are kept as the document holds them,
  // as the undo snapshots do.
  bytes += ProjectFileBytes(doc, std::string());
  std::string reason;
  if (!ql::WriteFileSafely(path_.toStdString(), bytes, reason)) {
    if (error)
      *error =
          i18n::Say(i18n::Text::CannotWriteFile, {path_.toStdU16String(), i18n::SystemErrorText(reason)});
    return false;
  }
  return true;
}

void RecoveryFile::Remove() { QFile::remove(path_); }

bool RecoveryFile::Exists() const { return QFileInfo::exists(path_); }

std::vector<RecoveryCopy> RecoveryFile::TakeLeftOver() {
  std::vector<RecoveryCopy> found;
  const QFileInfoList files = QDir(folder_).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files);
  for (const QFileInfo& fi : files) {
    if (fi.fileName().startsWith(prefix_ + QLatin1Char('-')) || fi.fileName() == prefix_ + kSuffix) continue;
    if (OwnerRuns(fi.fileName())) continue;
    // Renaming is atomic: of two programs starting together one gets it.
    const QString mine =
        folder_ + QLatin1Char('/') + prefix_ + QStringLiteral("-taken%1").arg(taken_++) + kSuffix;
    if (!QFile::rename(fi.absoluteFilePath(), mine)) continue;
    std::string bytes;
    RecoveryCopy copy;
    size_t body = 0;
    copy.path = mine;
    if (!ReadAll(mine, bytes) || !ParseHeader(bytes, copy, body)) {
      QFile::remove(mine);  // not a copy a program wrote: nothing to offer
      continue;
    }
    found.push_back(std::move(copy));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
  return found;
}

bool RecoveryFile::Restore(const RecoveryCopy& copy, Document& doc, std::u16string* error) {
  std::string bytes;
  RecoveryCopy header;
  size_t body = 0;
  if (!ReadAll(copy.path, bytes) || !ParseHeader(bytes, header, body)) {
    if (error) *error = i18n::Say(i18n::Text::FileUnreadable, {copy.path.toStdU16String()});
    return false;
  }
  ReadOptions o;
  o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = false;  // exactly as it was
  if (!ReadProjectBytes(doc, std::string_view(bytes).substr(body), ProjectFormat::Current, std::string(), o,
                        error))
    return false;
  doc.afilename = header.project;
  return true;
}

void RecoveryFile::Discard(const RecoveryCopy& copy) { QFile::remove(copy.path); }

}  // namespace platform
