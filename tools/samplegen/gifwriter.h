// A small GIF89a writer: one frame, a global palette of up to 256 colours,
// LZW-compressed pixel data. Qt reads GIF but cannot write it; the logo the
// program shows by default is a GIF, so the sample generator makes its own.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>
#include <cstdint>
#include <vector>

namespace samplegen {

// The palette for `image`: its colours when there are at most 256 of them,
// otherwise the 256 most frequent ones (ties broken by the colour value, so
// the result never depends on hashing or memory layout). Alpha is ignored.
QVector<QRgb> ChoosePalette(const QImage& image);

// Maps every pixel to the nearest palette entry (squared RGB distance, the
// lowest index on ties).
std::vector<uint8_t> MapToPalette(const QImage& image, const QVector<QRgb>& palette);

// The LZW code stream of a GIF image block for `indexes` with the given
// minimum code size (2 ... 8), packed into bytes, without the sub-block
// framing.
QByteArray LzwEncode(const std::vector<uint8_t>& indexes, int minCodeSize);

// The complete GIF89a file for `image` (quantised with ChoosePalette).
QByteArray EncodeGif(const QImage& image);

// Writes EncodeGif(image) to `path`; false when the file cannot be written.
bool WriteGif(const QImage& image, const QString& path);

}  // namespace samplegen
