#include "imaging/writers.h"

#include <QByteArray>
#include <vector>

namespace {

void Put16(QByteArray& b, int v) {
  b.append(static_cast<char>(v & 0xFF));
  b.append(static_cast<char>((v >> 8) & 0xFF));
}

}  // namespace

bool WriteTga(const dib& d, QIODevice& out, std::string& why) {
  if (d.width > 0xFFFF || d.height > 0xFFFF) {
    why = "the picture is too large for the Targa format";
    return false;
  }
  QByteArray header;
  header.append(char(0));  // no image id
  header.append(char(0));  // no colour map
  header.append(char(2));  // uncompressed true colour
  header.append(5, char(0));
  Put16(header, 0);
  Put16(header, 0);
  Put16(header, d.width);
  Put16(header, d.height);
  header.append(char(24));
  header.append(char(0));  // rows bottom first, like the dib
  if (out.write(header) != header.size()) {
    why = "cannot write the file";
    return false;
  }
  std::vector<char> row(static_cast<size_t>(d.width) * 3);
  for (int32_t r = 0; r < d.height; ++r) {
    const int32_t y = d.height - 1 - r;  // bottom row first
    if (d.bitcount == 24) {
      const uint8_t* s = d.toprow(y);
      std::copy(s, s + row.size(), reinterpret_cast<uint8_t*>(row.data()));
    } else {
      for (int32_t x = 0; x < d.width; ++x) {
        const uint32_t c = getcolor(d, x, y);
        row[x * 3] = static_cast<char>((c >> 16) & 0xFF);
        row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<char>(c & 0xFF);
      }
    }
    if (out.write(row.data(), static_cast<qint64>(row.size())) != static_cast<qint64>(row.size())) {
      why = "cannot write the file";
      return false;
    }
  }
  // Version 2 footer: no extension or developer area. Qt's reader insists on it.
  QByteArray footer(8, '\0');
  footer.append("TRUEVISION-XFILE.");
  footer.append('\0');
  if (out.write(footer) != footer.size()) {
    why = "cannot write the file";
    return false;
  }
  return true;
}
