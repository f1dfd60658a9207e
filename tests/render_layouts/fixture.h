// A catalog on a 300-dpi page exactly 210 mm wide with fixed metrics (see
// support/recording_surface.h): every role font 12 pt (advance 25 px,
// line height 60 px = 5.08 mm at 300 ppi), category headings 20 pt; no
// header, footer or logo. Margins: left and right 12 mm, top and bottom
// 10 mm; RandBildEd and RandTextEd 2 mm; line width 0.6 mm.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "render/layouts/layouts.h"
#include "render/render.h"
#include "render/units.h"
#include "support/catalog_fixture.h"
#include "support/recording_surface.h"

namespace layouttest {

using testsupport::FixedHeight;
using testsupport::FixedPixelSize;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

inline double Mm(int32_t px300) { return testsupport::Mm300(px300); }
using testsupport::LineMm;

struct FamilyTest : testsupport::CatalogFixture {
  const double lh = LineMm(12);    // every role font but the heading
  const double hsub = LineMm(20);  // heading of a category with products

  FamilyTest() {
    set.LinksEd = set.RechtsEd = 12;
    set.ObenEd = set.UntenEd = 10;
    set.RandBildEd = 2;
    set.RandTextEd = 2;
    set.LineWidthEd = 0.6;
    set.ArtNotBlockCheck = true;
  }

  render::RenderParams Params(render::DrawingSurface& s, int32_t page) const {
    return PageParams(s, page, 210);
  }
  // Layout index as LayoutCombo: 1 = layout 2, 2 = layout 3, 4 = layout 5,
  // 5 = layout 6, 6 = layout 7, 7 = layout 8.
  bool Render(RecordingSurface& s, int32_t page, int32_t layout) {
    return render::RenderLayout(session, Params(s, page), layout);
  }
  // Where the first product of the first category starts: content top,
  // heading (two heading lines), one line of the contents font.
  double FirstProductY() const { return set.ObenEd + 2 * hsub + lh; }

  // Pictures drawn, one op each: position (x1, y1) and size (x2, y2); a
  // row transfer counts its consecutive rows.
  static std::vector<SurfaceOp> PictureOps(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    int32_t lastx = -1, lasty = -1, lastw = -1;
    for (const auto& op : s.ops) {
      if (op.kind == SurfaceOp::DibBlock) {
        out.push_back(op);
        lastw = -1;
      } else if (op.kind == SurfaceOp::DibRow) {
        if (op.x1 == lastx && op.y1 == lasty + 1 && op.x2 == lastw) {
          out.back().y2 += 1;
        } else {
          out.push_back(op);
          out.back().y2 = 1;
        }
        lastx = op.x1, lasty = op.y1, lastw = op.x2;
      }
    }
    return out;
  }
  static std::vector<SurfaceOp> Verticals(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.OfKind(SurfaceOp::Line))
      if (op.x1 == op.x2 && op.y1 != op.y2) out.push_back(op);
    return out;
  }
  static std::vector<SurfaceOp> Horizontals(const RecordingSurface& s) {
    std::vector<SurfaceOp> out;
    for (const auto& op : s.OfKind(SurfaceOp::Line))
      if (op.y1 == op.y2 && op.x1 != op.x2) out.push_back(op);
    return out;
  }
};

}  // namespace layouttest
