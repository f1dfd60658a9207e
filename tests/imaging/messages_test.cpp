// Why a picture cannot be read or saved, in the language of the messages:
// every refusal of every codec names the file and says its reason with a
// text of the shown-texts catalog, nothing of the codecs' own English.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "../support/shown_texts.h"
#include "imaging/ilbm.h"
#include "imaging/pcx.h"
#include "imaging/pixoran.h"

namespace {

class PictureMessages : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  std::string Path(const std::string& name) {
    return tmp.filePath(QString::fromStdString(name)).toStdString();
  }
  void Write(const std::string& name, const std::string& bytes) {
    QFile f(QString::fromStdString(Path(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  std::string Saved(const dib& d, int code) {
    const std::string file = Path("whole") + DibFormatByCode(code)->extension;
    EXPECT_TRUE(SaveDib(d, file, code));
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
  }
  static dib Picture(int bits, int w = 40, int h = 30) {
    dib d;
    newdib(d, w, h, bits);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) setpixel(d, x, y, static_cast<uint32_t>(x * 5 + y * 3) & 0xFF);
    return d;
  }
  // "FILE: " as the current language writes it before a reason.
  static std::string Named(const std::string& file) {
    return ql::ToUtf8(i18n::Say(i18n::Text::PictureNotDrawn, {ql::FromUtf8(file), u""}));
  }
  static void Set16(std::string& b, size_t at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
};

TEST_F(PictureMessages, EveryRefusalIsACatalogTextNamingTheFile) {
  testsupport::ShippedLanguage french(2);
  ASSERT_TRUE(french.loaded());
  const dib rgb = Picture(24), grey = Picture(8);

  // name -> content; each is refused for another reason.
  std::vector<std::pair<std::string, std::string>> files;
  const std::string jpeg = Saved(rgb, kDibJpeg);
  files.push_back({"cut.jpg", jpeg.substr(0, jpeg.size() / 2)});
  files.push_back({"marker.jpg", "\xFF\xD8\x01 not really a JPEG"});
  const std::string bmp = Saved(rgb, kDibBmp);
  files.push_back({"cut.bmp", bmp.substr(0, bmp.size() / 2)});
  std::string bits = bmp;
  Set16(bits, 28, 7);
  files.push_back({"bits.bmp", bits});
  std::string nosize = bmp;
  Set16(nosize, 18, 0);
  files.push_back({"nosize.bmp", nosize});
  files.push_back({"header.bmp", "BM" + std::string(30, '\0')});
  std::string vast = bmp;  // 2^31-1 square: rows times height overflows 64 bits
  Set16(vast, 18, 0xFFFF);
  Set16(vast, 20, 0x7FFF);
  Set16(vast, 22, 0xFFFF);
  Set16(vast, 24, 0x7FFF);
  Set16(vast, 28, 32);
  files.push_back({"vast.bmp", vast});
  const std::string tga = Saved(rgb, kDibTga);
  files.push_back({"cut.tga", tga.substr(0, tga.size() / 2)});
  const std::string gif = Saved(grey, kDibGif);
  files.push_back({"cut.gif", gif.substr(0, gif.size() / 2)});
  std::string screen = gif.substr(0, 13);
  screen[10] = static_cast<char>(screen[10] & 0x7F);  // no colour table
  files.push_back({"empty.gif", screen + "\x3B"});
  std::string png = Saved(rgb, kDibPng);
  for (size_t i = png.size() / 2; i < png.size() - 20; ++i) png[i] = static_cast<char>(i * 7);
  files.push_back({"data.png", png});
  const std::string pcx = Saved(rgb, kDibPcx);
  files.push_back({"cut.pcx", pcx.substr(0, pcx.size() / 2)});
  std::string planes = pcx;
  planes[65] = 2;
  files.push_back({"planes.pcx", planes});
  std::string huge = pcx;
  Set16(huge, 8, 0xEA5F);
  Set16(huge, 10, 0xEA5F);
  Set16(huge, 66, 0xEA60);
  files.push_back({"huge.pcx", huge});
  std::string ilbm, why;
  ASSERT_TRUE(WriteIlbm(grey, ilbm, why));
  files.push_back({"cut.iff", ilbm.substr(0, ilbm.size() / 2)});
  std::string packed = ilbm;
  packed[30] = 2;  // BMHD compression
  files.push_back({"packed.iff", packed});
  files.push_back(
      {"ham.iff", ilbm.substr(0, 12) + std::string("CAMG\0\0\0\4\0\0\x08\0", 12) + ilbm.substr(12)});
  files.push_back({"nohead.iff", ilbm.substr(0, 12) + std::string("ANNO\0\0\0\2ab", 10)});
  files.push_back({"text.jpg", "Preisliste 2024\n"});
  files.push_back({"drawing.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>"});
  for (const auto& f : files) Write(f.first, f.second);
  files.push_back({"missing.png", {}});
  QDir(tmp.path()).mkdir(QStringLiteral("folder.png"));
  files.push_back({"folder.png", {}});

  for (const auto& f : files) {
    SCOPED_TRACE(f.first);
    const std::string path = Path(f.first);
    dib d;
    std::string err;
    EXPECT_FALSE(OpenDib(d, path, kDibAuto, &err));
    EXPECT_TRUE(testsupport::IsCatalogText(err, Named(path))) << err;
    int32_t w = 0, h = 0;
    err.clear();
    if (!DibFileSize(path, w, h, &err)) {
      EXPECT_TRUE(testsupport::IsCatalogText(err, Named(path))) << err;
    }
    // The same reasons from content in memory, without a file name.
    if (f.first.rfind("missing", 0) == 0 || f.first.rfind("folder", 0) == 0) continue;
    err.clear();
    EXPECT_FALSE(OpenDibFromBytes(d, f.second, 0, 0, &err));
    EXPECT_TRUE(testsupport::IsCatalogText(err)) << err;
  }

  // Saving: a format that is no format, nothing to save, a folder that
  // does not exist.
  std::string err;
  const std::string nowhere = Path("nowhere/x.png");
  EXPECT_FALSE(SaveDib(rgb, Path("x.png"), 1, &err));
  EXPECT_TRUE(testsupport::IsCatalogText(err, Named(Path("x.png")))) << err;
  EXPECT_FALSE(SaveDib(dib(), Path("x.png"), kDibPng, &err));
  EXPECT_TRUE(testsupport::IsCatalogText(err, Named(Path("x.png")))) << err;
  EXPECT_FALSE(SaveDib(rgb, nowhere, kDibPng, &err));
  EXPECT_TRUE(testsupport::IsCatalogText(err)) << err;
  EXPECT_NE(err.find(nowhere), std::string::npos) << err;
  EXPECT_NE(err.find("Fichier introuvable"), std::string::npos) << err;
  // The open dialog's filter names its own entries in the language too.
  const std::string filter = GetDIBOpenFilter();
  EXPECT_EQ(filter.rfind("Toutes les images (", 0), 0u) << filter;
  EXPECT_NE(filter.find(";;Tous les fichiers (*)"), std::string::npos) << filter;
  std::string wide;
  EXPECT_FALSE(WritePcx(Picture(24, 70000, 1), wide, why));
  EXPECT_TRUE(testsupport::IsCatalogText(why)) << why;
}

// The reasons read as written for the user, with the values in place.
TEST_F(PictureMessages, ReasonsReadInDutchAndGerman) {
  const dib grey = Picture(8);
  const std::string pcx = Saved(grey, kDibPcx);
  Write("kort.pcx", pcx.substr(0, 200));
  dib d;
  std::string err;
  {
    testsupport::ShippedLanguage dutch(3);
    ASSERT_TRUE(dutch.loaded());
    EXPECT_FALSE(OpenDib(d, Path("kort.pcx"), kDibAuto, &err));
    EXPECT_EQ(err, Path("kort.pcx") +
                       ": Het bestand eindigt in rij 2 van 30, voordat de afbeelding compleet is. "
                       "Kopieer of bewaar de afbeelding opnieuw.");
    EXPECT_FALSE(OpenDib(d, Path("weg.pcx"), kDibAuto, &err));
    EXPECT_EQ(err, Path("weg.pcx") + ": Het bestand kan niet worden geopend: Bestand niet gevonden.");
  }
  // Without a table: German.
  EXPECT_FALSE(OpenDib(d, Path("kort.pcx"), kDibAuto, &err));
  EXPECT_EQ(err, Path("kort.pcx") +
                     ": Die Datei endet in Zeile 2 von 30, bevor das Bild vollständig ist. Kopieren oder "
                     "speichern Sie das Bild noch einmal.");
}

}  // namespace
