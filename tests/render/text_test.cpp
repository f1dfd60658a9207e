#include "render/text.h"

#include <gtest/gtest.h>

#include <random>

#include "render/render.h"
#include "support/recording_surface.h"

using namespace render;
using testsupport::FixedMeasurer;
using testsupport::RecordingSurface;

namespace {

// 10 pt at 300 ppi: 42 px, every character 21 px = 1.778 mm wide.
constexpr double kChar = 21 * 25.39995 / 300;

struct Fixture {
  FixedMeasurer m;
  MeasureCache cache{m};
  FontId font = cache.Intern(MakeFont(u"Arial", 10, false, 0), 10);
};

std::u16string Join(const std::vector<std::u16string>& v) {
  std::u16string s;
  for (auto& l : v) s += l;
  return s;
}

// Widths per character (control characters included) with a pair
// adjustment: never negative beyond the next character's advance, so
// widths grow with every appended character (monotone) but are not sums.
class KerningMeasurer : public TextMeasurer {
 public:
  explicit KerningMeasurer(WidthLaw l, bool kern) : law(l), kern(kern) {}
  int32_t TextWidthPx(const TFontSpec&, const std::u16string& t) override {
    ++calls;
    int32_t w = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      w += Advance(t[i]);
      if (kern && i > 0 && t[i - 1] == u'W' && t[i] == u'a') w -= 9;
    }
    return w;
  }
  int32_t TextHeightPx(const TFontSpec&, const std::u16string&) override { return 40; }
  WidthLaw Law() const override { return law; }
  static int32_t Advance(char16_t c) { return c == u'W' ? 37 : c == u' ' ? 11 : c < 32 ? 7 : 10 + (c % 13); }
  WidthLaw law;
  bool kern;
  uint64_t calls = 0;
};

std::u16string RandomText(std::mt19937& rng, size_t maxlen) {
  static const char16_t alphabet[] = {u'a', u'b', u'W', u'i', u' ', u' ', u'\r', u'\n', u'\t', u'x', u'a'};
  std::uniform_int_distribution<size_t> len(0, maxlen);
  std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) / sizeof(alphabet[0]) - 1);
  std::u16string s;
  const size_t n = len(rng);
  for (size_t i = 0; i < n; ++i) s.push_back(alphabet[pick(rng)]);
  return s;
}

}  // namespace

TEST(TextBasics, StripAndUpperCase) {
  EXPECT_EQ(StripControlChars(u"a\tb\r\nc\x01 d\x1f"), u"abc d");
  EXPECT_EQ(UpperForDisplay(u"Gießen und Bewässern"), u"GIESSEN UND BEWÄSSERN");
  EXPECT_EQ(UpperForDisplay(u"Blumentöpfe und Pflanzgefäße"), u"BLUMENTÖPFE UND PFLANZGEFÄSSE");
  EXPECT_EQ(UpperForDisplay(u"café øre ÿ ł ő ž 3½ € ÷ µ"), u"CAFÉ ØRE Ÿ Ł Ő Ž 3½ € ÷ Μ");
  EXPECT_EQ(UpperForDisplay(u"ДОМ дом ёж Ωω σς ά"), u"ДОМ ДОМ ЁЖ ΩΩ ΣΣ Ά");
  EXPECT_EQ(UpperForDisplay(u"ÄÖÜ ABC 123\r\n"), u"ÄÖÜ ABC 123\r\n");
}

TEST(ProductWrap, LineBreaksAlwaysEndALineAndEmptyLinesAreKept) {
  Fixture f;
  EXPECT_EQ(WrapProductText(f.cache, f.font, u"ab\r\ncd", 100),
            (std::vector<std::u16string>{u"ab\r", u"cd"}));
  EXPECT_EQ(WrapProductText(f.cache, f.font, u"\r\n\r\nx", 100),
            (std::vector<std::u16string>{u"\r", u"\r", u"x"}));
  EXPECT_TRUE(WrapProductText(f.cache, f.font, u"", 100).empty());
  // A lone CR keeps the character after it.
  EXPECT_EQ(WrapProductText(f.cache, f.font, u"ab\rcd", 100), (std::vector<std::u16string>{u"ab\r", u"cd"}));
}

TEST(ProductWrap, SpacesAndOverlongWords) {
  Fixture f;
  const double limit = 5 * kChar + 0.1;  // five characters fit, six do not
  // Breaks at spaces drop the space.
  EXPECT_EQ(WrapProductText(f.cache, f.font, u"aaa bbb ccc", limit),
            (std::vector<std::u16string>{u"aaa", u"bbb", u"ccc"}));
  // A word longer than the line is broken inside, nothing lost.
  auto w = WrapProductText(f.cache, f.font, u"abcdefghijkl", limit);
  EXPECT_EQ(w, (std::vector<std::u16string>{u"abcde", u"fghij", u"kl"}));
  EXPECT_EQ(Join(w), u"abcdefghijkl");
  // A space at the very first position is no break point.
  EXPECT_EQ(WrapProductText(f.cache, f.font, u" abcdefg", limit),
            (std::vector<std::u16string>{u" abcd", u"efg"}));
  // A character wider than the line on its own stays, one per line.
  EXPECT_EQ(WrapProductText(f.cache, f.font, u"ab", kChar / 2), (std::vector<std::u16string>{u"a", u"b"}));
}

TEST(ProductWrap, ControlCharactersAreNotMeasured) {
  Fixture f;
  const double limit = 5 * kChar + 0.1;
  // Five letters with tabs between them fit on one line: the tabs do not count.
  auto w = WrapProductText(f.cache, f.font, u"a\tb\tc\td\te", limit);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(StripControlChars(w[0]), u"abcde");
  w = WrapProductText(f.cache, f.font, u"a\tb\tc\td\te\tf", limit);
  EXPECT_EQ(w, (std::vector<std::u16string>{u"a\tb\tc\td\te\t", u"f"}));
}

TEST(ProductWrap, FastBreaksEqualTheCharacterRuleOnRandomTexts) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<double> lim(0.5, 40);
  for (WidthLaw law : {WidthLaw::Monotone, WidthLaw::Additive}) {
    // Additive holds only without the pair adjustment.
    KerningMeasurer m(law, law == WidthLaw::Monotone);
    MeasureCache cache(m);
    KerningMeasurer ref_m(WidthLaw::Unknown, law == WidthLaw::Monotone);
    MeasureCache ref(ref_m);
    const FontId font = cache.Intern(MakeFont(u"Arial", 10, false, 0), 10);
    const FontId rfont = ref.Intern(MakeFont(u"Arial", 10, false, 0), 10);
    for (int n = 0; n < 3000; ++n) {
      const std::u16string s = RandomText(rng, 90);
      const double limit = lim(rng);
      const auto fast = WrapProductText(cache, font, s, limit);
      const auto naive = WrapProductTextNaive(ref, rfont, s, limit);
      ASSERT_EQ(fast, naive) << "law " << int(law) << " limit " << limit;
      ASSERT_EQ(WrapIntroLine(cache, font, s, limit), WrapIntroLineNaive(ref, rfont, s, limit));
    }
  }
}

TEST(ProductWrap, LongTextNeedsFewMeasurements) {
  std::u16string s;
  for (int i = 0; i < 400; ++i) s += u"word" + std::u16string(1, char16_t(u'a' + i % 26)) + u" ";
  KerningMeasurer fast_m(WidthLaw::Monotone, true), naive_m(WidthLaw::Unknown, true);
  MeasureCache fast(fast_m), naive(naive_m);
  const TFontSpec font = MakeFont(u"Arial", 10, false, 0);
  const auto a = WrapProductText(fast, fast.Intern(font, 10), s, 60);
  const auto b = WrapProductText(naive, naive.Intern(font, 10), s, 60);
  EXPECT_EQ(a, b);
  EXPECT_GT(a.size(), 30u);
  // About 45 characters a line: the character rule measures each prefix.
  EXPECT_LT(fast_m.calls * 4, naive_m.calls);
}

TEST(IntroWrap, CutsBackToSpacesAndLosesNothing) {
  Fixture f;
  const double limit = 5 * kChar + 0.1;
  auto w = WrapIntroLine(f.cache, f.font, u"aa bb ccc dddddddd e", limit);
  EXPECT_EQ(w, (std::vector<std::u16string>{u"aa ", u"bb ", u"ccc ", u"ddddd", u"ddd e"}));
  EXPECT_EQ(Join(w), u"aa bb ccc dddddddd e");
  // Control characters are measured here (the rule measures unstripped).
  EXPECT_EQ(WrapIntroLine(f.cache, f.font, u"a\tb\tc", limit), (std::vector<std::u16string>{u"a\tb\tc"}));
  EXPECT_EQ(WrapIntroLine(f.cache, f.font, u"a\t\tb\tc\t", limit).size(), 2u);
  EXPECT_EQ(SplitLines(u"one\r\ntwo\rthree\nfour\r\n\r\n"),
            (std::vector<std::u16string>{u"one", u"two", u"three", u"four", u""}));
  EXPECT_EQ(WrapIntroText(f.cache, f.font, u"x\r\n\r\ny", limit),
            (std::vector<std::u16string>{u"x", u"", u"y"}));
}

TEST(Justify, GapsWordsAndLinesWithoutSpace) {
  RecordingSurface s;
  s.SetFontPpi(96);
  s.SetFont(MakeFont(u"Arial", 10, false, 0));  // 13 px, advance 6
  textoutBlockSatz(s, 5, 7, u"aa bb cc", 60);   // width 48, gap (60 - 48) div 2 = 6
  auto t = s.Texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].x1, 5);
  EXPECT_EQ(t[1].x1, 5 + 18 + 6);
  EXPECT_EQ(t[2].x1, 5 + 2 * (18 + 6));
  EXPECT_EQ(t[2].y1, 7);

  s.Clear();
  textoutBlockSatz(s, 0, 0, u"aa bb cc", 41);  // gap (41 - 48) div 2 = -3 (toward zero)
  t = s.Texts();
  EXPECT_EQ(t[1].x1, 18 - 3);

  s.Clear();
  textoutBlockSatz(s, 3, 0, u"abcdef", 200);  // no space: left-aligned, whole
  t = s.Texts();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].x1, 3);
  EXPECT_EQ(t[0].text, u"abcdef");

  s.Clear();
  textoutBlockSatz(s, 0, 0, u"a  b", 36);  // gap (36 - 24) div 2 = 6; the empty word advances too
  t = s.Texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].x1, (12 + 6) + (6 + 6));
}

TEST(PassMetrics, RoleFontsZoomButMeasurementsDoNot) {
  Document doc;
  FixedMeasurer m;
  testsupport::MemoryPictureLoader loader;
  RenderSession session(doc, m, loader);
  RecordingSurface s;
  double widths[3];
  int i = 0;
  for (double zoom : {1.0, 100.0, 400.0}) {
    RenderParams p;
    p.canvas0 = &s;
    p.dpi = 96;
    p.zoomedvalue = zoom;
    RenderPass pass(session, p);
    pass.SelectRoleFont(MakeFont(u"Arial", 11, false, 0));
    EXPECT_EQ(s.Font().size, zoom == 1 ? 1 : zoom == 100 ? 11 : 44);
    EXPECT_EQ(s.Font().ppi, 96);
    EXPECT_TRUE(s.TransparentText());
    EXPECT_EQ(pass.basesize, 11);
    widths[i++] = pass.TextWidthMm(u"abc");
  }
  EXPECT_EQ(widths[0], widths[1]);
  EXPECT_EQ(widths[1], widths[2]);
  // 11 pt at 300 ppi: 46 px, advance 23.
  EXPECT_DOUBLE_EQ(widths[1], 3 * 23 * 25.39995 / 300);
  // The second pass found the measurement in the cache.
  EXPECT_EQ(m.calls, 1u);
  // A fractional base size measures at its truncation.
  RenderParams p;
  p.canvas0 = &s;
  RenderPass pass(session, p);
  pass.SelectRoleFont(MakeFont(u"Arial", 11, false, 0));
  pass.basesize = 16.5;
  EXPECT_DOUBLE_EQ(pass.TextWidthMm(u"a"), testsupport::FixedAdvance(67) * 25.39995 / 300);  // 16 pt: 67 px
}

TEST(PassMetrics, CachedAndUncachedResultsAgree) {
  FixedMeasurer m;
  MeasureCache cache(m);
  const TFontSpec f = MakeFont(u"Arial", 12, true, 0xFF);
  TFontSpec other_colour = f;
  other_colour.color = 0;
  const FontId id = cache.Intern(f, 12);
  EXPECT_EQ(cache.Intern(other_colour, 12), id);  // colour does not change metrics
  EXPECT_NE(cache.Intern(f, 13), id);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(cache.WidthPx(id, u"hello"), m.TextWidthPx(cache.FontOf(id), u"hello"));
    EXPECT_EQ(cache.HeightPx(id, u" "), m.TextHeightPx(cache.FontOf(id), u" "));
  }
  EXPECT_EQ(cache.Entries(), 2u);
  cache.Clear();
  EXPECT_EQ(cache.WidthPx(id, u"hello"), 5 * 25);  // 12 pt: 50 px, advance 25
}
