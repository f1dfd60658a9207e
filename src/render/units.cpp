#include "render/units.h"

#include <cmath>
#include <limits>

namespace render {

namespace {
int32_t Clamp(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}
}  // namespace

int32_t TruncClamp(double v) { return Clamp(std::trunc(v)); }
// The default floating-point environment rounds to nearest, ties to even.
int32_t RoundEven(double v) { return Clamp(std::nearbyint(v)); }

int32_t LengthPx(double mm, int32_t dpi, double zoom) {
  return TruncClamp(mm / kMmPerInch * dpi * zoom / 100);
}
int32_t LengthPxCm(double cm, int32_t dpi, double zoom) { return LengthPx(cm * 10, dpi, zoom); }
int32_t PositionPx(double mm, int32_t dpi, double zoom) {
  return RoundEven(mm / kMmPerInch * dpi * zoom / 100);
}
int32_t OneMmPx(int32_t dpi, double zoom) { return TruncClamp(dpi * (1 / kMmPerInch) * zoom / 100); }
int32_t FiveMmPx(int32_t dpi, double zoom) { return TruncClamp(dpi * (5 / kMmPerInch) * zoom / 100); }
int32_t ZoomedFontPoints(double points, double zoom) {
  const int32_t p = RoundEven(points * zoom / 100);
  return p < 1 ? 1 : p;
}
double MeasurePxToMm(int32_t px) { return px * kMmPerInch / kMeasurePpi; }
double PageMm(int32_t px, int32_t resolution) {
  return resolution > 0 ? static_cast<double>(px) / resolution * kMmPerInch : 0.0;
}

}  // namespace render
