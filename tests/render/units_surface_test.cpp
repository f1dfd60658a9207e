#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <thread>
#include <vector>

#include "render/units.h"
#include "support/recording_surface.h"

using namespace render;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

TEST(Units, LengthsTruncatePositionsRoundToEvenWithTheProgramsInch) {
  // One inch of 25.39995 mm (not 25.4) at 100 dpi is exactly 100 pixels.
  EXPECT_EQ(LengthPx(25.39995, 100, 100), 100);
  EXPECT_EQ(LengthPx(25.4, 100, 100), 100);
  EXPECT_EQ(LengthPx(25.39, 100, 100), 99);
  // Half an inch: 1.5 px and 2.5 px.
  const double half = kMmPerInch * 0.5;
  EXPECT_EQ(LengthPx(half, 3, 100), 1);
  EXPECT_EQ(PositionPx(half, 3, 100), 2);
  EXPECT_EQ(LengthPx(half, 5, 100), 2);
  EXPECT_EQ(PositionPx(half, 5, 100), 2);  // tie to even, not up
  EXPECT_EQ(PositionPx(half, 7, 100), 4);  // 3.5 -> 4
  EXPECT_EQ(PositionPx(-half, 5, 100), -2);
  // Zoom scales, centimetres are ten millimetres.
  EXPECT_EQ(LengthPx(10, 300, 100), 118);
  EXPECT_EQ(LengthPx(10, 300, 200), 236);
  EXPECT_EQ(LengthPxCm(1, 300, 100), 118);
  EXPECT_EQ(OneMmPx(300, 100), 11);
  EXPECT_EQ(FiveMmPx(300, 100), 59);
  EXPECT_EQ(OneMmPx(96, 1), 0);  // a 0-pixel length at zoom 1 %
  EXPECT_NEAR(PageMm(2480, 300), 2480.0 / 300 * 25.39995, 1e-12);
  EXPECT_NEAR(MeasurePxToMm(300), 25.39995, 1e-12);
}

TEST(Units, FontsAreAtLeastOnePointAndAbsurdValuesClamp) {
  EXPECT_EQ(ZoomedFontPoints(10, 1), 1);
  EXPECT_EQ(ZoomedFontPoints(24, 1), 1);
  EXPECT_EQ(ZoomedFontPoints(25, 10), 2);  // 2.5
  EXPECT_EQ(ZoomedFontPoints(35, 10), 4);  // 3.5
  EXPECT_EQ(ZoomedFontPoints(11, 400), 44);
  EXPECT_EQ(LengthPx(1e12, 300, 1000), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(LengthPx(-1e12, 300, 1000), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(PositionPx(std::nan(""), 300, 100), 0);
}

TEST(SurfaceState, BrushColourMakesSolidAndEndsTransparentText) {
  RecordingSurface s;
  s.SetBrushStyle(BrushStyle::Clear);
  EXPECT_FALSE(s.TextOpaque());
  s.SetBrushColor(0x0000FF);
  EXPECT_EQ(s.Brush().style, BrushStyle::Solid);
  EXPECT_TRUE(s.TextOpaque());

  s.SetTransparentText();
  s.TextOut(0, 0, u"a");
  s.SetBrushColor(0x00FF00);  // ends transparent mode: opaque in the brush colour
  s.TextOut(0, 0, u"b");
  s.SetTransparentText();
  s.SetBrushStyle(BrushStyle::Clear);  // ends it too, but a clear brush paints nothing
  s.TextOut(0, 0, u"c");
  s.SetBrushStyle(BrushStyle::Solid);
  s.TextOut(0, 0, u"d");
  auto t = s.Texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_FALSE(t[0].opaque);
  EXPECT_TRUE(t[1].opaque);
  EXPECT_EQ(t[1].brush.color, 0x00FF00u);
  EXPECT_FALSE(t[2].opaque);
  EXPECT_FALSE(s.TransparentText());
  EXPECT_TRUE(t[3].opaque);
}

TEST(SurfaceState, RectangleCornersInAnyOrderAndTheClearPenRule) {
  RecordingSurface s;
  s.SetPenColor(0x111111);
  s.SetBrushColor(0x222222);
  s.Rectangle(10, 12, 2, 3);
  ASSERT_EQ(s.ops.size(), 2u);
  EXPECT_EQ(s.ops[0].kind, SurfaceOp::Fill);
  EXPECT_EQ(s.ops[0].x1, 2);
  EXPECT_EQ(s.ops[0].y1, 3);
  EXPECT_EQ(s.ops[0].x2, 10);
  EXPECT_EQ(s.ops[0].y2, 12);
  EXPECT_EQ(s.ops[1].kind, SurfaceOp::Frame);

  s.Clear();
  s.SetPenStyle(PenStyle::Clear);
  s.Rectangle(2, 3, 10, 12);  // fills x 2 ... 8, y 3 ... 10
  ASSERT_EQ(s.ops.size(), 1u);
  EXPECT_EQ(s.ops[0].x2, 9);
  EXPECT_EQ(s.ops[0].y2, 11);

  s.Clear();
  s.SetPenStyle(PenStyle::Solid);
  s.SetBrushStyle(BrushStyle::Clear);
  s.Rectangle(0, 0, 5, 5);
  ASSERT_EQ(s.ops.size(), 1u);
  EXPECT_EQ(s.ops[0].kind, SurfaceOp::Frame);

  // On pixels: a one-pixel-high solid row covers exactly its row.
  RecordingSurface px(6, 4);
  px.SetPenColor(0x0000FF);
  px.SetBrushColor(0x0000FF);
  px.Rectangle(0, 1, 6, 2);
  EXPECT_EQ(px.Pixel(0, 1), 0x0000FFu);
  EXPECT_EQ(px.Pixel(5, 1), 0x0000FFu);
  EXPECT_EQ(px.Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(px.Pixel(0, 2), 0xFFFFFFu);
}

TEST(SurfaceState, PensFontsAndLines) {
  RecordingSurface s;
  s.SetPenColor(0x00AA00);
  s.SetPenWidth(4);
  s.SetGeometricPen();
  EXPECT_EQ(s.Pen().kind, PenKind::GeometricFlat);
  EXPECT_EQ(s.Pen().width, 4);
  s.SetGeometricPen(true);
  EXPECT_EQ(s.Pen().kind, PenKind::GeometricSquare);
  s.SetPenWidth(2);  // back to an ordinary pen
  EXPECT_EQ(s.Pen().kind, PenKind::Cosmetic);

  s.SetPenStyle(PenStyle::Clear);
  s.MoveTo(1, 1);
  s.LineTo(5, 6);
  EXPECT_TRUE(s.ops.empty());
  EXPECT_EQ(s.PenPos().x, 5);
  s.SetPenStyle(PenStyle::Solid);
  s.LineTo(9, 6);
  ASSERT_EQ(s.ops.size(), 1u);
  EXPECT_EQ(s.ops[0].x1, 5);
  EXPECT_EQ(s.ops[0].y1, 6);
  EXPECT_EQ(s.ops[0].x2, 9);

  // Assigning a role font keeps the surface's pixels-per-inch.
  s.SetFontPpi(300);
  const uint64_t serial = s.FontSerial();
  TFontSpec f = MakeFont(u"Arial", 10, true, 0x123456);
  f.ppi = 72;
  s.SetFont(f);
  EXPECT_NE(s.FontSerial(), serial);
  EXPECT_EQ(s.Font().ppi, 300);
  EXPECT_EQ(s.FontPixelSize(), 42);  // 10 * 300 / 72 = 41.67
  s.SetFontPpi(96);
  EXPECT_EQ(s.FontPixelSize(), 13);  // 13.33

  // Serials name one font state of one surface: another surface going
  // through the same changes, even in another thread, never has one of them.
  std::set<uint64_t> seen;
  for (int i = 0; i < 2; ++i) {
    auto run = [&seen] {
      std::vector<uint64_t> mine;
      for (int k = 0; k < 3; ++k) {
        testsupport::RecordingSurface t;
        t.SetFontSize(9);
        mine.push_back(t.FontSerial());
        t.AssignFont(MakeFont(u"Arial", 11, false, 0), 12.5);
        mine.push_back(t.FontSerial());
        EXPECT_EQ(t.Font().size, 11);
        EXPECT_EQ(t.FontEmPixels(), 12.5);
      }
      return mine;
    };
    std::vector<uint64_t> other;
    std::thread th([&] { other = run(); });
    const std::vector<uint64_t> here = run();
    th.join();
    for (uint64_t v : here) EXPECT_TRUE(seen.insert(v).second);
    for (uint64_t v : other) EXPECT_TRUE(seen.insert(v).second);
  }
  s.SetFontSize(0);
  EXPECT_EQ(s.Font().size, 1);
  EXPECT_TRUE(s.Font().bold);
  EXPECT_EQ(s.Font().color, 0x123456u);
}
