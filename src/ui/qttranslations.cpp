#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "i18n/languages.h"

namespace ui {
namespace {
std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> t;
  return t;
}
}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallQtTranslations(int language) {
  std::unique_ptr<QTranslator>& installed = Installed();
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  const i18n::InterfaceLanguage* l = i18n::FindInterfaceLanguage(language);
  if (!l) return false;
  auto t = std::make_unique<QTranslator>();
  // qt_<code>.qm bundles the catalogs of Qt's modules (qtbase, ...).
  if (!t->load(QString::fromLatin1(l->qtCatalog), QtTranslationsFolder())) return false;
  QCoreApplication::installTranslator(t.get());
  installed = std::move(t);
  return true;
}

QLocale InterfaceLocale(int language) {
  return QLocale(QString::fromLatin1(i18n::InterfaceLanguageOrEnglish(language).code));
}

}  // namespace ui
