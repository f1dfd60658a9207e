// The bundled sample catalog data/sample: that it opens with the catalog's
// expected shape, that its pictures are where the file says, and that the
// generator reproduces the committed files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "project/projectfile.h"
#include "qt_app.h"
#include "samplegen/catalog.h"

namespace {

const QString kSampleDir = QStringLiteral(QL_SOURCE_DIR "/data/sample");

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool IsMain(const Category& c) { return c.products.Empty() && !(c.options && c.options->istoc); }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QStringList SampleFiles(const QString& dir) {
  return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

class SampleCatalog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureCoreApplication(); }

  // Opens data/sample/test.pk2.
  void Open(Document& doc, const QString& folder = kSampleDir) {
    std::u16string error;
    ASSERT_TRUE(OpenFileWithName(doc, Local(folder + "/test.pk2"), &error)) << Q(error).toStdString();
  }
};

TEST_F(SampleCatalog, StartsWithTheContentsFollowedByMainCategoriesAndTheirSubcategories) {
  Document doc;
  Open(doc);
  ASSERT_GE(doc.kats.Count(), 6u);

  const Category& toc = doc.kats[0];
  ASSERT_TRUE(toc.options);
  EXPECT_TRUE(toc.options->istoc);
  EXPECT_FALSE(toc.options->introtext.empty());
  EXPECT_TRUE(toc.products.Empty());
  for (uint32_t i = 1; i < doc.kats.Count(); ++i)
    EXPECT_FALSE(doc.kats[i].options && doc.kats[i].options->istoc) << "a second table of contents at " << i;

  // Main categories are the ones without products; the renderer makes their
  // headings larger and lets the first subcategory follow on the same page.
  std::vector<uint32_t> mains;
  for (uint32_t i = 1; i < doc.kats.Count(); ++i)
    if (IsMain(doc.kats[i])) mains.push_back(i);
  ASSERT_EQ(mains.size(), 2u);
  EXPECT_EQ(mains[0], 1u) << "the first main category follows the contents directly";
  for (size_t m = 0; m < mains.size(); ++m) {
    const uint32_t end = m + 1 < mains.size() ? mains[m + 1] : doc.kats.Count();
    EXPECT_GE(end - mains[m] - 1, 2u) << "main category " << mains[m] << " needs subcategories";
    for (uint32_t i = mains[m] + 1; i < end; ++i)
      EXPECT_FALSE(doc.kats[i].products.Empty()) << "subcategory " << i << " without products";
  }
}

TEST_F(SampleCatalog, CategoriesCarryPicturesIntroductionsAndOneHasItsOwnColours) {
  Document doc;
  Open(doc);
  int withPicture = 0, withIntro = 0, withoutOptions = 0, pictureBelow = 0, pictureBefore = 0;
  const CategoryOptions* own = nullptr;
  for (const Category& c : doc.kats) {
    if (!c.options) {
      ++withoutOptions;
      continue;
    }
    if (!c.options->picfile.empty()) {
      ++withPicture;
      (c.options->picbelowname ? pictureBelow : pictureBefore)++;
      EXPECT_TRUE(QFileInfo::exists(Q(c.options->picfile))) << Q(c.options->picfile).toStdString();
    }
    if (!c.options->introtext.empty()) ++withIntro;
    if (c.options->ownareacolor) own = c.options.get();
  }
  EXPECT_GE(withPicture, 4);
  EXPECT_GE(pictureBelow, 1);
  EXPECT_GE(pictureBefore, 1);
  EXPECT_GE(withIntro, 5);
  EXPECT_EQ(withoutOptions, 1) << "one category is kept without options, as an import leaves it";
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(own->ownnamecolor);
  EXPECT_TRUE(own->ownfontcolor);
  const CategoryOptions defaults = NewCategoryOptions();
  EXPECT_NE(own->areacolor, defaults.areacolor);
  EXPECT_NE(own->namecolor, defaults.namecolor);
  EXPECT_NE(own->fontcolor, defaults.fontcolor);
}

TEST_F(SampleCatalog, ProductsHaveGermanTextsPicturesAndTierPriceTables) {
  Document doc;
  Open(doc);
  const uint32_t n = doc.ProductCount();
  EXPECT_GE(n, 30u);
  EXPECT_LE(n, 40u);

  const QRegularExpression price(QStringLiteral("^\\d{1,3}(\\.\\d{3})*,\\d\\d €$"));
  const QRegularExpression umlaut(QStringLiteral("[äöüÄÖÜß]"));
  auto cents = [](const std::u16string& s) {
    QString t = Q(s);
    t.remove(QLatin1Char('.')).remove(QStringLiteral(" €")).replace(QLatin1Char(','), QLatin1Char('.'));
    return qRound(t.toDouble() * 100);
  };
  std::set<std::u16string> artnrs;
  int withBreak = 0, withUmlaut = 0;
  for (const Category& c : doc.kats) {
    for (const Product& p : c.products) {
      const std::string what = Q(p.name).toStdString();
      EXPECT_FALSE(p.name.empty());
      EXPECT_FALSE(p.description.empty()) << what;
      if (p.description.find(u'\n') != std::u16string::npos) ++withBreak;
      if (Q(p.name + p.description).contains(umlaut)) ++withUmlaut;
      EXPECT_GE(p.pictures.Count(), 1u) << what;
      EXPECT_LE(p.pictures.Count(), 3u) << what;
      for (const Picture& pic : p.pictures) EXPECT_GT(pic.width, 0) << what;

      ASSERT_EQ(p.pricecols, 3) << what;
      ASSERT_GE(p.variants.Count(), 2u) << what << ": titles and at least one variant";
      const uint32_t cols = VariantColumnCount(p);
      ASSERT_GE(cols, 5u) << what;
      EXPECT_EQ(Q(VariantText(p, 0, 0)), "Name") << what;
      EXPECT_EQ(Q(VariantText(p, 0, cols - 4)), "Art. Nummer") << what;
      EXPECT_EQ(Q(VariantText(p, 0, cols - 3)), "Preis") << what;
      EXPECT_EQ(Q(VariantText(p, 0, cols - 2)), "Ab 10 Stk.") << what;
      EXPECT_EQ(Q(VariantText(p, 0, cols - 1)), "Ab 100 Stk.") << what;
      for (uint32_t r = 1; r < p.variants.Count(); ++r) {
        EXPECT_FALSE(VariantText(p, r, 0).empty()) << what;
        EXPECT_TRUE(artnrs.insert(VariantText(p, r, cols - 4)).second)
            << "article number used twice: " << Q(VariantText(p, r, cols - 4)).toStdString();
        int previous = INT32_MAX;
        for (uint32_t k = cols - 3; k < cols; ++k) {
          const QString t = Q(VariantText(p, r, k));
          EXPECT_TRUE(price.match(t).hasMatch()) << what << ": \"" << t.toStdString() << "\"";
          const int ct = cents(VariantText(p, r, k));
          EXPECT_GT(ct, 0) << what;
          EXPECT_LT(ct, previous) << what << ": tier prices must fall";
          previous = ct;
        }
      }
    }
  }
  EXPECT_GE(withBreak, 5);
  EXPECT_GE(withUmlaut, 10);
}

TEST_F(SampleCatalog, SettingsAreTheDefaultsWithTheShopsHeaderFooterBackgroundAndLogo) {
  Document doc;
  Open(doc);
  const CatalogSettings& s = doc.settings;
  const CatalogSettings d;
  EXPECT_EQ(s.LayoutCombo, 0);
  EXPECT_TRUE(Q(s.KopfEd).startsWith("Gartenhaus Morvetta"));
  EXPECT_TRUE(Q(s.FussEd).contains("%PAGE%"));
  EXPECT_TRUE(Q(s.FussEd2).contains("%PAGE%"));
  EXPECT_EQ(QFileInfo(Q(s.FilenameEdit1)).fileName(), samplegen::kLogoFileName);
  EXPECT_EQ(QFileInfo(Q(s.FilenameEdit2)).fileName(), samplegen::kBackgroundFileName);
  EXPECT_TRUE(s.FilenameEdit3.empty());
  EXPECT_EQ(doc.templatecolumns,
            (std::vector<std::u16string>{u"Name", u"Art. Nummer", u"Preis", u"Ab 10 Stk.", u"Ab 100 Stk."}));
  EXPECT_EQ(s.PreDefAnzPreisEd, 3);
  // A sample of the settings left alone.
  EXPECT_EQ(s.LinksEd, d.LinksEd);
  EXPECT_EQ(s.FourColumns, d.FourColumns);
  EXPECT_EQ(s.BildRechts, d.BildRechts);
  EXPECT_EQ(s.FontDialog2, d.FontDialog2);
  EXPECT_EQ(s.LightenCheck, d.LightenCheck);
  EXPECT_EQ(s.HellEd, d.HellEd);
  EXPECT_EQ(s.BreitEd3, d.BreitEd3);
}

TEST_F(SampleCatalog, PictureNamesAreStoredBareAndResolveInTheFolderTheFileIsOpenedFrom) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString copy = tmp.path() + "/kopie";
  ASSERT_TRUE(QDir().mkpath(copy));
  for (const QString& f : SampleFiles(kSampleDir))
    ASSERT_TRUE(QFile::copy(kSampleDir + "/" + f, copy + "/" + f));

  Document doc;
  Open(doc, copy);
  std::vector<QString> names{Q(doc.settings.FilenameEdit1), Q(doc.settings.FilenameEdit2)};
  for (const Category& c : doc.kats) {
    if (c.options && !c.options->picfile.empty()) names.push_back(Q(c.options->picfile));
    for (const Product& p : c.products)
      for (const Picture& pic : p.pictures) names.push_back(Q(pic.filename));
  }
  std::set<QString> used;
  for (const QString& name : names) {
    EXPECT_EQ(QFileInfo(name).absolutePath(), QDir(copy).absolutePath()) << name.toStdString();
    QImageReader reader(name);
    EXPECT_TRUE(reader.canRead()) << name.toStdString();
    used.insert(QFileInfo(name).fileName());
  }
  // Nothing lies in the folder that the catalog does not use.
  for (const QString& f : SampleFiles(copy)) {
    if (f == "test.pk2") continue;
    EXPECT_EQ(used.count(f), 1u) << "unused file " << f.toStdString();
  }
}

TEST_F(SampleCatalog, PicturesAreSmallAndTheLogoIsA200PixelGif) {
  qint64 total = 0;
  for (const QString& f : SampleFiles(kSampleDir)) total += QFileInfo(kSampleDir + "/" + f).size();
  EXPECT_LT(total, 2 * 1024 * 1024);

  QImageReader logo(kSampleDir + "/" + samplegen::kLogoFileName);
  EXPECT_EQ(logo.format(), QByteArray("gif"));
  const QImage img = logo.read();
  ASSERT_FALSE(img.isNull()) << logo.errorString().toStdString();
  EXPECT_EQ(img.size(), QSize(200, 200));

  Document doc;
  Open(doc);
  for (const Category& c : doc.kats)
    for (const Product& p : c.products)
      for (const Picture& pic : p.pictures) {
        QImageReader r(Q(pic.filename));
        EXPECT_EQ(r.size(), QSize(400, 300)) << Q(pic.filename).toStdString();
      }
}

TEST_F(SampleCatalog, RegeneratingGivesByteIdenticalFiles) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QStringList written;
  QString error;
  ASSERT_TRUE(samplegen::GenerateSample(tmp.path(), &written, &error)) << error.toStdString();

  QStringList sortedWritten = written;
  sortedWritten.sort();
  EXPECT_EQ(sortedWritten, SampleFiles(tmp.path())) << "the generator reports what it wrote";
  ASSERT_EQ(SampleFiles(tmp.path()), SampleFiles(kSampleDir))
      << "data/sample is out of date: run scripts/regen-sample.sh";
  // The project file is pure data and must match to the byte. The pictures
  // are drawn with antialiasing, whose last bits may depend on the
  // processor's drawing routines: they must match to the pixel within a
  // small tolerance (on the machine that generated them they are identical).
  for (const QString& f : SampleFiles(kSampleDir)) {
    const QString mine = tmp.path() + "/" + f, shipped = kSampleDir + "/" + f;
    if (!f.endsWith(".jpg") && !f.endsWith(".png") && !f.endsWith(".gif")) {
      EXPECT_TRUE(ReadAll(mine) == ReadAll(shipped))
          << f.toStdString() << " differs: run scripts/regen-sample.sh";
      continue;
    }
    if (ReadAll(mine) == ReadAll(shipped)) continue;
    QImage a = QImage(mine).convertToFormat(QImage::Format_RGB888);
    QImage b = QImage(shipped).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(a.size(), b.size()) << f.toStdString();
    int64_t sum = 0;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
      const uchar* pa = a.constScanLine(y);
      const uchar* pb = b.constScanLine(y);
      for (int x = 0; x < a.width() * 3; ++x) {
        const int d = std::abs(int(pa[x]) - int(pb[x]));
        sum += d;
        worst = std::max(worst, d);
      }
    }
    const double mean = double(sum) / (double(a.width()) * a.height() * 3);
    EXPECT_LT(mean, 1.0) << f.toStdString() << " differs: run scripts/regen-sample.sh";
    EXPECT_LT(worst, 64) << f.toStdString() << " differs: run scripts/regen-sample.sh";
  }
}

TEST_F(SampleCatalog, IsShippedBesideTheExecutables) {
  for (const QString& f : SampleFiles(kSampleDir))
    EXPECT_TRUE(ReadAll(QStringLiteral(QL_BIN_DIR "/") + f) == ReadAll(kSampleDir + "/" + f))
        << f.toStdString();
}

}  // namespace
