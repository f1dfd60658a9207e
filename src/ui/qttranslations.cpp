#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace ui {
namespace {
std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> t;
  return t;
}
}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallQtTranslations(int language) {
  static const char* const codes[4] = {"de", "en", "fr", "nl"};
  std::unique_ptr<QTranslator>& installed = Installed();
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  if (language < 0 || language > 3) return false;
  auto t = std::make_unique<QTranslator>();
  // qt_<code>.qm bundles the catalogs of Qt's modules (qtbase, ...).
  if (!t->load(QStringLiteral("qt_") + QString::fromLatin1(codes[language]), QtTranslationsFolder()))
    return false;
  QCoreApplication::installTranslator(t.get());
  installed = std::move(t);
  return true;
}

}  // namespace ui
