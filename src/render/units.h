// Millimetres, centimetres and points to device pixels. One inch is
// 25.39995 mm throughout the program (not 25.4): every renderer and every
// output converts with these functions so their pages agree pixel for pixel.
//
//  - Lengths (margins, gaps, line and picture widths) truncate toward zero.
//  - Running positions kept in millimetres round to nearest, ties to even.
//  - Fonts scale with the zoom and never drop below 1 point.
// Results are clamped to the 32-bit range, so absurd settings cannot
// overflow.
#pragma once

#include <cstdint>

namespace render {

constexpr double kMmPerInch = 25.39995;
// Layout decisions measure text at this resolution, whatever the surface.
constexpr int32_t kMeasurePpi = 300;

// Trunc / Round-to-even of a double into int32_t, clamped (NaN gives 0).
int32_t TruncClamp(double v);
int32_t RoundEven(double v);

// Trunc(mm / 25.39995 * dpi * zoom / 100).
int32_t LengthPx(double mm, int32_t dpi, double zoom);
// The same for a value in centimetres (multiplied by 10 first).
int32_t LengthPxCm(double cm, int32_t dpi, double zoom);
// Round(mm / 25.39995 * dpi * zoom / 100), ties to even.
int32_t PositionPx(double mm, int32_t dpi, double zoom);
// The fixed lengths: Trunc(dpi * (1 / 25.39995) * zoom / 100) and with 5.
int32_t OneMmPx(int32_t dpi, double zoom);
int32_t FiveMmPx(int32_t dpi, double zoom);
// Round(points * zoom / 100), at least 1.
int32_t ZoomedFontPoints(double points, double zoom);
// Pixels at 300 ppi back to millimetres: px * 25.39995 / 300.
double MeasurePxToMm(int32_t px);
// A printer page in pixels to millimetres: px / resolution * 25.39995.
double PageMm(int32_t px, int32_t resolution);

}  // namespace render
