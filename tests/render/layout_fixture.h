// A small catalog on a 300-dpi A4 page with fixed metrics (see
// support/catalog_fixture.h): every role font is 12 pt (50 px, height
// 60 px = 5.08 mm at 300 ppi), the category heading 20 pt (30 pt for main
// categories), no header, footer, logo or frame; margins 10 mm.
#pragma once

#include <gtest/gtest.h>

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

inline double Mm(int32_t px300) { return testsupport::Mm300(px300); }
using testsupport::LineMm;

// Margins 10 mm all round, RandBildEd 2 mm.
struct LayoutTest : testsupport::CatalogFixture {
  LayoutTest() {
    set.LinksEd = set.ObenEd = set.RechtsEd = set.UntenEd = 10;
    set.RandBildEd = 2;
  }

  render::RenderParams Params(render::DrawingSurface& s, int32_t page) {
    return PageParams(s, page, render::PageMm(kW, 300));
  }
  // Renders `page` with layout index `layout` (0 = layout 1, 3 = layout 4).
  bool Render(testsupport::RecordingSurface& s, int32_t page, int32_t layout = 0) {
    return render::RenderLayout(session, Params(s, page), layout);
  }
};

}  // namespace layouttest
