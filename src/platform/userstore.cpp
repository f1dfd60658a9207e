#include "platform/userstore.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

struct UserStore::Impl {
  explicit Impl(QSettings* s) : settings(s) {}
  std::unique_ptr<QSettings> settings;
};

UserStore::UserStore()
    : impl_(new Impl(new QSettings(QSettings::IniFormat, QSettings::UserScope, "Quillane", "Quillane"))) {}
UserStore::UserStore(const std::string& inifile)
    : impl_(new Impl(new QSettings(QString::fromStdString(inifile), QSettings::IniFormat))) {}
UserStore::~UserStore() {
  impl_->settings->sync();
  delete impl_;
}

namespace {
void ReadBool(const QSettings& s, const char* key, bool& value) {
  const QVariant v = s.value(key);
  if (v.isValid()) value = v.toBool();
}
}  // namespace

void UserStore::LoadOptions(ProgramOptions& o, double& zoom) const {
  const QSettings& s = *impl_->settings;
  ReadBool(s, "Options/LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
           o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
  ReadBool(s, "Options/PDFDateienmitCMYKFarbenausgeben1", o.PDFDateienmitCMYKFarbenausgeben1);
  ReadBool(s, "Options/DruckenDialoganzeigenvordemDrucken1", o.DruckenDialoganzeigenvordemDrucken1);
  bool ok = false;
  const double z = s.value("View/ZoomEd").toDouble(&ok);
  if (ok && z >= 1 && z <= 1000) zoom = z;
}

void UserStore::SaveOptions(const ProgramOptions& o, double zoom) {
  QSettings& s = *impl_->settings;
  s.setValue("Options/LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
             o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
  s.setValue("Options/PDFDateienmitCMYKFarbenausgeben1", o.PDFDateienmitCMYKFarbenausgeben1);
  s.setValue("Options/DruckenDialoganzeigenvordemDrucken1", o.DruckenDialoganzeigenvordemDrucken1);
  s.setValue("View/ZoomEd", zoom);
}

int UserStore::LoadInt(const std::string& key, int fallback, int lo, int hi) const {
  bool ok = false;
  const int v = impl_->settings->value(QString::fromStdString(key)).toInt(&ok);
  if (!ok) return fallback;
  return v < lo ? lo : v > hi ? hi : v;
}

void UserStore::SaveInt(const std::string& key, int value) {
  impl_->settings->setValue(QString::fromStdString(key), value);
}

std::vector<std::u16string> UserStore::LoadTextList(const std::string& key) const {
  std::vector<std::u16string> out;
  for (const QString& t : impl_->settings->value(QString::fromStdString(key)).toStringList())
    out.push_back(t.toStdU16String());
  return out;
}

void UserStore::SaveTextList(const std::string& key, const std::vector<std::u16string>& texts) {
  QStringList list;
  for (const std::u16string& t : texts) list << QString::fromStdU16String(t);
  impl_->settings->setValue(QString::fromStdString(key), list);
}

bool UserStore::Sync() {
  impl_->settings->sync();
  return impl_->settings->status() == QSettings::NoError;
}

}  // namespace platform
