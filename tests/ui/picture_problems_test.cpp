// Pictures the preview could not draw are named above the page.
#include <QFile>

#include "fixture.h"
#include "ui/preview.h"

namespace uitest {
namespace {

TEST_F(WindowTest, PreviewNamesThePicturesItCouldNotDraw) {
  // The sample catalog alone in a folder: its pictures are missing.
  const QString copy = dir.path() + QStringLiteral("/ohne-bilder.pk2");
  ASSERT_TRUE(QFile::copy(QStringLiteral(QL_BIN_DIR "/test.pk2"), copy));
  Start();
  ASSERT_TRUE(window->OpenDocument(copy.toStdU16String()));
  window->pages()->setCurrentIndex(2);
  Settle();
  ui::PagePreview* pv = window->preview();
  ASSERT_FALSE(pv->Rendered().isNull());
  const QString tip = pv->toolTip();
  EXPECT_TRUE(tip.startsWith(QStringLiteral("Diese Bilder konnten nicht gezeichnet werden:")))
      << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("hintergrund.jpg"))) << tip.toStdString();
  if (const char* shot = std::getenv("QL_UI_SHOT")) pv->grab().save(QString::fromUtf8(shot));

  // With the pictures back the list is gone after the next render.
  for (const char* name : {"hintergrund.jpg", "logo morvetta200x200.gif"})
    QFile::copy(QStringLiteral(QL_BIN_DIR "/") + QString::fromUtf8(name),
                dir.path() + "/" + QString::fromUtf8(name));
  pv->Invalidate();
  ASSERT_FALSE(pv->Rendered().isNull());
  EXPECT_FALSE(pv->toolTip().contains(QStringLiteral("hintergrund.jpg"))) << pv->toolTip().toStdString();
}

}  // namespace
}  // namespace uitest
