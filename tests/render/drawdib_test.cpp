#include "render/drawdib.h"

#include <gtest/gtest.h>

#include "support/recording_surface.h"
#include "support/scripted_feedback.h"

using namespace render;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

namespace {

constexpr uint32_t A = 0x0000FF, B = 0x00FF00, C = 0xFF0000, D = 0x808080, WHITE = 0xFFFFFF;

// 2 x 2, top row A B, bottom row C D.
dib Quad() {
  dib d;
  newdib(d, 2, 2, 24);
  setpixel(d, 0, 0, A);
  setpixel(d, 1, 0, B);
  setpixel(d, 0, 1, C);
  setpixel(d, 1, 1, D);
  return d;
}

// Checks that the rectangle (x, y, w, h) of the canvas is uniformly `c`.
void ExpectBlock(const RecordingSurface& s, int x, int y, int w, int h, uint32_t c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) ASSERT_EQ(s.Pixel(i, j), c) << "at " << i << "," << j;
}

}  // namespace

TEST(DrawDib, EnlargingTwoByTwoGivesFourUniformBlocks) {
  RecordingSurface s(8, 8);
  const dib q = Quad();
  DrawDibWhole(s, 1, 2, 4, 4, q, true);
  ExpectBlock(s, 1, 2, 2, 2, A);
  ExpectBlock(s, 3, 2, 2, 2, B);
  ExpectBlock(s, 1, 4, 2, 2, C);
  ExpectBlock(s, 3, 4, 2, 2, D);
  ExpectBlock(s, 0, 0, 8, 2, WHITE);
  ExpectBlock(s, 5, 2, 3, 6, WHITE);
  // One row transfer per destination row, none through the device scaling.
  EXPECT_EQ(s.OfKind(SurfaceOp::DibRow).size(), 4u);
  EXPECT_TRUE(s.OfKind(SurfaceOp::Stretch).empty());
}

TEST(DrawDib, ShrinkingDropsRowsAndColumnsAndEightBitUsesThePalette) {
  dib p;
  newdib(p, 4, 4, 8);
  p.palette[1] = {255, 0, 0, 0};  // red
  p.palette[2] = {0, 0, 255, 0};  // blue
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) setpixel(p, x, y, (x + y) % 2 ? 2 : 1);
  RecordingSurface s(4, 4);
  DrawDibWhole(s, 0, 0, 2, 2, p, false);
  // Columns 0, 2 and rows 0, 2 of the source: all even sums, red.
  ExpectBlock(s, 0, 0, 2, 2, 0x0000FF);
}

TEST(DrawDib, ClippingASourceThatReachesOutside) {
  const dib q = Quad();
  {  // Right edge: sx + sw > W halves the destination width.
    RecordingSurface s(10, 10);
    DrawDib(s, 0, 0, 8, 4, q, 1, 0, 2, 2, false);  // only column 1 exists
    ExpectBlock(s, 0, 0, 4, 2, B);
    ExpectBlock(s, 0, 2, 4, 2, D);
    ExpectBlock(s, 4, 0, 4, 4, WHITE);
  }
  {  // Below the bottom row (sy < 0): the lower part of the destination goes.
    RecordingSurface s(10, 10);
    DrawDib(s, 0, 0, 4, 8, q, 0, -2, 2, 4, false);
    ExpectBlock(s, 0, 0, 2, 2, A);
    ExpectBlock(s, 0, 2, 2, 2, C);
    ExpectBlock(s, 0, 4, 4, 4, WHITE);
  }
  {  // Above the top row (sy + sh > H): the destination moves down.
    RecordingSurface s(10, 10);
    DrawDib(s, 0, 0, 4, 8, q, 0, 0, 2, 4, false);
    ExpectBlock(s, 0, 0, 4, 4, WHITE);
    ExpectBlock(s, 0, 4, 2, 2, A);
    ExpectBlock(s, 2, 6, 2, 2, D);
  }
  {  // Left of the picture (sx < 0): the destination moves right.
    RecordingSurface s(10, 10);
    DrawDib(s, 0, 0, 8, 4, q, -2, 0, 4, 2, false);
    ExpectBlock(s, 0, 0, 4, 4, WHITE);
    ExpectBlock(s, 4, 0, 2, 2, A);
    ExpectBlock(s, 6, 2, 2, 2, D);
  }
  {  // Entirely outside, empty or degenerate rectangles: nothing at all.
    RecordingSurface s(10, 10);
    DrawDib(s, 0, 0, 8, 4, q, 2, 0, 2, 2, false);
    DrawDib(s, 0, 0, 8, 4, q, 0, 0, 0, 2, false);
    DrawDib(s, 0, 0, 0, 4, q, 0, 0, 2, 2, false);
    DrawDib(s, 0, 0, 4, 4, dib{}, 0, 0, 2, 2, false);
    EXPECT_TRUE(s.ops.empty());
  }
}

TEST(DrawDib, PrintersAndOtherDepthsUseTheDeviceScaling) {
  const dib q = Quad();
  RecordingSurface printer(8, 8);
  printer.printer = true;
  DrawDib(printer, 0, 0, 8, 4, q, -2, 0, 4, 2, true);
  auto st = printer.OfKind(SurfaceOp::Stretch);
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0].x1, 4);  // clipped before the device sees it
  EXPECT_EQ(st[0].x2, 4);
  EXPECT_EQ(st[0].x3, 0);
  EXPECT_EQ(st[0].x4, 2);
  EXPECT_TRUE(printer.OfKind(SurfaceOp::DibRow).empty());

  dib four;
  newdib(four, 2, 1, 4);
  RecordingSurface bitmap(4, 4);
  DrawDibWhole(bitmap, 0, 0, 4, 2, four, false);
  EXPECT_EQ(bitmap.OfKind(SurfaceOp::Stretch).size(), 1u);
}

TEST(DrawDib, RefusedStretchFallsBackToABlockThenReports) {
  const dib q = Quad();
  RecordingSurface s(8, 8);
  s.printer = true;
  s.stretchfails = true;
  ScriptedFeedback fb;
  DrawDibWhole(s, 0, 0, 4, 4, q, false, &fb);
  ASSERT_EQ(s.OfKind(SurfaceOp::DibBlock).size(), 1u);
  // The fallback maps column i to (sw - 1) * i div (dw - 1): 0, 0, 0, 1;
  // rows likewise from the bottom.
  ExpectBlock(s, 0, 0, 3, 1, A);
  ExpectBlock(s, 3, 0, 1, 1, B);
  ExpectBlock(s, 0, 1, 3, 3, C);
  ExpectBlock(s, 3, 1, 1, 3, D);
  EXPECT_TRUE(fb.shown.empty());

  s.blockfails = true;
  DrawDibWhole(s, 0, 0, 4, 4, q, false, &fb);
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(fb.shown[0].text, u"The device does not support the function StretchBlt!");
}

TEST(DrawDib, HugeDestinationsTransferOnlyWhatIsVisible) {
  const dib q = Quad();
  RecordingSurface s(6, 6);
  DrawDib(s, -1000000, -1000000, 2000006, 2000006, q, 0, 0, 2, 2, false);
  // Only the six visible rows are written, each six pixels wide.
  const auto rows = s.OfKind(SurfaceOp::DibRow);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].x2, 6);
  // The visible pixels straddle the middle of the mapping (1000003).
  ExpectBlock(s, 0, 0, 3, 3, A);
  ExpectBlock(s, 3, 0, 3, 3, B);
  ExpectBlock(s, 0, 3, 3, 3, C);
  ExpectBlock(s, 3, 3, 3, 3, D);
}
