// Page furniture drawn at every page start: background colour or gradient,
// tiled background picture, header band, logo and text, footer band and
// lines, page frame; and the reserves the header and footer take.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/dib/dib.h"
#include "render/render.h"

namespace render {

// Draws the furniture of st.page (when it is the drawn page) and sets
// headerpx/headermm, footerpx/footermm and itemsonpage := 0 on every page.
// Leaves the surface font and pass.basesize as it found them; the brush
// ends clear.
void StartPage(RenderPass& pass, PageState& st);

// The one way a page ends inside a pass: lastkat[page] := katname,
// page += 1, StartPage, y := topmm + headermm. (The last page's name is
// recorded by FinishPass.)
void BreakPage(RenderPass& pass, PageState& st, const std::u16string& katname);

// Replaces %PAGE%, %DATE% and %CATEGORY% (any letter case, in that order)
// in a footer text. `pagenr` below 1 gives an empty page number.
std::u16string ReplaceFooterPlaceholders(const std::u16string& text, int32_t pagenr,
                                         const std::u16string& date, const std::u16string& category);
// Every occurrence of `what` (ASCII, any letter case) replaced by `with`.
std::u16string ReplaceNoCase(const std::u16string& text, const std::u16string& what,
                             const std::u16string& with);
// Today's date in the short date format of the system (dd.mm.yyyy when the
// locale gives none).
std::u16string TodayShortDate();

// Background processing of a loaded picture: grey and/or lighten with
// saturation, in place (converted to 24 bits first). Pictures of depths
// other than 1, 4, 8 and 24 bits are left unchanged.
void ProcessBackground(dib& pic, bool grayscale, bool lighten, double hellpercent, double saturation);
// 1, 4 or 8 bits through the colour table (1 bit: 0 black, else white) to
// a 24-bit picture; false if it cannot be allocated.
bool ConvertTo24(const dib& in, dib& out);

// Colour of gradient row j (1 ... height) from c1 to c2.
TColor GradientRow(TColor c1, TColor c2, int32_t j, int32_t height);

}  // namespace render
