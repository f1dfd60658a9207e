#include "samplegen/catalog.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <vector>

#include "project/projectfile.h"
#include "samplegen/gifwriter.h"
#include "samplegen/pictures.h"

namespace samplegen {

namespace {

// ---------------------------------------------------------------- content

struct PicDef {
  const char* file;
  Motif motif;
  QColor colour;
  Scene scene;
  double zoom;
  uint32_t seed;
};

// One row of a variant table: name, optional size, article number and the
// single-piece price in cents (the tier prices follow from it).
struct VariantDef {
  const char16_t* name;
  const char16_t* size;  // nullptr: the table has no "Größe" column
  const char16_t* artnr;
  int cents;
};

struct ProductDef {
  const char16_t* name;
  const char16_t* description;
  std::vector<PicDef> pictures;
  std::vector<VariantDef> variants;
};

enum class Role { Contents, Main, Sub };

struct CategoryDef {
  const char16_t* name;
  Role role;
  bool hasOptions;
  const char16_t* introtext;
  // Category picture: a motif icon (PNG), a banner (JPEG) or none.
  const char* picfile;
  int picbelowname;
  bool introbelowpic;
  double picwidth;
  bool ownColours;
  std::vector<ProductDef> products;
};

const QColor kTerracotta(196, 104, 64);
const QColor kAnthracite(70, 72, 76);
const QColor kWhite(236, 236, 232);
const QColor kGalvanised(168, 174, 178);
const QColor kGreen(60, 140, 60);
const QColor kRed(200, 40, 40);
const QColor kBlue(40, 90, 170);
const QColor kLarch(176, 122, 70);
const QColor kAcacia(150, 96, 52);
const QColor kYellow(246, 196, 30);
const QColor kPurple(130, 90, 190);
const QColor kPink(226, 110, 150);
const QColor kBeige(220, 200, 160);
const QColor kBlack(40, 40, 44);

std::vector<CategoryDef> Catalog() {
  using M = Motif;
  using S = Scene;
  return {
      {u"Inhaltsverzeichnis",
       Role::Contents,
       true,
       u"Willkommen bei Gartenhaus Morvetta!\r\nAuf den folgenden Seiten finden Sie unser Sortiment für "
       u"Garten, "
       u"Balkon und Terrasse. Alle Preise verstehen sich in Euro inklusive Mehrwertsteuer, ab 10 und ab 100 "
       u"Stück gewähren wir Mengenrabatt.",
       nullptr,
       0,
       false,
       3.0,
       false,
       {}},

      {u"Garten und Pflanzen",
       Role::Main,
       true,
       u"Alles, was Ihren Garten zum Blühen bringt: Töpfe und Pflanzgefäße, Gießkannen und Bewässerung, "
       u"Blumenzwiebeln, Rosen und Saatgut.",
       "kat-garten.jpg",
       1,
       true,
       12.0,
       false,
       {}},

      {u"Blumentöpfe und Pflanzgefäße",
       Role::Sub,
       true,
       u"Ob Terrakotta, Holz oder Kunststoff – für jede Pflanze das passende Zuhause.",
       "kat-blumentoepfe.png",
       0,
       false,
       3.0,
       false,
       {
           {u"Terrakotta-Topf „Toskana“",
            u"Handgefertigter Blumentopf aus frostfestem Ton.\r\nMit Abzugsloch, für drinnen und draußen.",
            {{"terrakotta-topf-1.jpg", M::Pot, kTerracotta, S::Garden, 1.0, 101},
             {"terrakotta-topf-2.jpg", M::Pot, kTerracotta, S::Studio, 1.4, 102}},
            {{u"Ø 17 cm", nullptr, u"GM-1101-17", 495},
             {u"Ø 21 cm", nullptr, u"GM-1101-21", 750},
             {u"Ø 25 cm", nullptr, u"GM-1101-25", 990},
             {u"Ø 30 cm", nullptr, u"GM-1101-30", 1450}}},
           {u"Balkonkasten Classic",
            u"Balkonkasten aus robustem Kunststoff mit Wasserspeicher. Passend für alle gängigen "
            u"Geländerhalterungen.",
            {{"balkonkasten-1.jpg", M::BalconyBox, kWhite, S::Terrace, 1.0, 111},
             {"balkonkasten-2.jpg", M::BalconyBox, kAnthracite, S::Garden, 1.0, 112}},
            {{u"60 cm, weiß", nullptr, u"GM-1120-60W", 690},
             {u"60 cm, anthrazit", nullptr, u"GM-1120-60A", 690},
             {u"80 cm, weiß", nullptr, u"GM-1120-80W", 890},
             {u"100 cm, terracotta", nullptr, u"GM-1120-100T", 1190}}},
           {u"Hängeampel mit Kette",
            u"Hängeampel aus Kunststoff, inklusive 60 cm Metallkette und Wasserspeicher.\r\nIdeal für "
            u"Petunien, Fuchsien und Hängeerdbeeren.",
            {{"haengeampel-1.jpg", M::HangingBasket, kGreen.darker(130), S::Garden, 1.0, 121}},
            {{u"Ø 25 cm", nullptr, u"GM-1130-25", 590}, {u"Ø 30 cm", nullptr, u"GM-1130-30", 790}}},
           {u"Pflanzschale „Sukkulente“",
            u"Flache Schale aus glasierter Keramik für Sukkulenten, Kakteen und Steingartenpflanzen.",
            {{"pflanzschale-1.jpg", M::PlantBowl, QColor(70, 120, 150), S::Studio, 1.0, 131},
             {"pflanzschale-2.jpg", M::PlantBowl, kBeige, S::Terrace, 1.0, 132}},
            {{u"Ø 32 cm, blau", nullptr, u"GM-1140-32B", 1290},
             {u"Ø 32 cm, sand", nullptr, u"GM-1140-32S", 1290},
             {u"Ø 40 cm, blau", nullptr, u"GM-1140-40B", 1790}}},
           {u"Holzkübel Lärche",
            u"Pflanzkübel aus unbehandeltem Lärchenholz mit Folieneinlage. Natürlich witterungsbeständig und "
            u"mit den Jahren silbergrau.",
            {{"holzkuebel-1.jpg", M::Tub, kLarch, S::Garden, 1.0, 141},
             {"holzkuebel-2.jpg", M::Tub, kLarch, S::Terrace, 1.0, 142},
             {"holzkuebel-3.jpg", M::Tub, kLarch, S::Studio, 1.4, 143}},
            {{u"Holzkübel klein", u"30 × 30 × 30 cm", u"GM-1150-30", 2490},
             {u"Holzkübel mittel", u"40 × 40 × 40 cm", u"GM-1150-40", 3490},
             {u"Holzkübel groß", u"50 × 50 × 50 cm", u"GM-1150-50", 4990}}},
           {u"Kräutertopf-Set, 3-teilig",
            u"Drei glasierte Keramiktöpfe mit Untersetzern – für Basilikum, Petersilie und Schnittlauch.",
            {{"kraeutertopf-set-1.jpg", M::Herbs, QColor(236, 232, 220), S::Terrace, 1.0, 151}},
            {{u"Set weiß", nullptr, u"GM-1160-W", 1995}, {u"Set terracotta", nullptr, u"GM-1160-T", 1995}}},
       }},

      {u"Gießen und Bewässern",
       Role::Sub,
       true,
       u"Gießkannen, Schläuche und Regner für durstige Beete. Unsere verzinkten Kannen halten ein "
       u"Gärtnerleben "
       u"lang.",
       "kat-giessen.png",
       1,
       false,
       4.0,
       false,
       {
           {u"Gießkanne verzinkt, 10 l",
            u"Klassische Gießkanne aus feuerverzinktem Stahlblech mit abnehmbarer Messingbrause.",
            {{"giesskanne-verzinkt-1.jpg", M::WateringCan, kGalvanised, S::Garden, 1.0, 201},
             {"giesskanne-verzinkt-2.jpg", M::WateringCan, kGalvanised, S::Studio, 1.5, 202}},
            {{u"5 Liter", nullptr, u"GM-2101-05", 2490},
             {u"10 Liter", nullptr, u"GM-2101-10", 2990},
             {u"12 Liter", nullptr, u"GM-2101-12", 3490}}},
           {u"Kunststoff-Gießkanne",
            u"Leichte Gießkanne aus bruchfestem Kunststoff mit Brause.\r\nIn drei fröhlichen Farben.",
            {{"giesskanne-kunststoff-1.jpg", M::WateringCan, kGreen, S::Terrace, 1.0, 211},
             {"giesskanne-kunststoff-2.jpg", M::WateringCan, kRed, S::Studio, 1.0, 212}},
            {{u"10 l, grün", nullptr, u"GM-2110-G", 695},
             {u"10 l, rot", nullptr, u"GM-2110-R", 695},
             {u"10 l, blau", nullptr, u"GM-2110-B", 695}}},
           {u"Gartenschlauch Flex, ½ Zoll",
            u"Knickfester Gartenschlauch mit Gewebeeinlage, UV-beständig und frei von Phthalaten.\r\n"
            u"Berstdruck 24 bar.",
            {{"gartenschlauch-1.jpg", M::Hose, kGreen.darker(110), S::Garden, 1.0, 221}},
            {{u"15 m", nullptr, u"GM-2120-15", 1990},
             {u"25 m", nullptr, u"GM-2120-25", 2990},
             {u"50 m", nullptr, u"GM-2120-50", 5490}}},
           {u"Schlauchwagen Compact",
            u"Standfester Schlauchwagen für bis zu 60 m ½-Zoll-Schlauch, mit Kurbel und Tragegriff.",
            {{"schlauchwagen-1.jpg", M::HoseReel, QColor(240, 140, 30), S::Garden, 1.0, 231}},
            {{u"Schlauchwagen Compact", nullptr, u"GM-2130", 3990}}},
           {u"Viereckregner Aqua 250",
            u"Bewässert Flächen bis 250 m², Reichweite und Breite stufenlos einstellbar.",
            {{"viereckregner-1.jpg", M::Sprinkler, QColor(250, 200, 40), S::Garden, 1.0, 241},
             {"viereckregner-2.jpg", M::Sprinkler, QColor(250, 200, 40), S::Studio, 1.4, 242}},
            {{u"Viereckregner Aqua 250", nullptr, u"GM-2140", 1890}}},
           {u"Drucksprüher 1,5 l",
            u"Handlicher Drucksprüher zum Besprühen und Düngen von Zimmer- und Balkonpflanzen.",
            {{"druckspruehflasche-1.jpg", M::Sprayer, kGreen, S::Studio, 1.0, 251}},
            {{u"Drucksprüher 1,5 l", nullptr, u"GM-2150", 990}}},
       }},

      {u"Blumen, Zwiebeln und Saatgut",
       Role::Sub,
       true,
       u"Sommerblumen, Rosen und Lavendel aus unserer eigenen Gärtnerei sowie Saatgut in Bio-Qualität.",
       nullptr,
       0,
       false,
       3.0,
       false,
       {
           {u"Sonnenblumen-Saatgut „Riese“",
            u"Bis zu 3 m hohe Sonnenblumen. Aussaat April bis Mai direkt ins Freiland.",
            {{"saatgut-sonnenblume-1.jpg", M::SeedBag, kYellow, S::Studio, 1.0, 301}},
            {{u"Tüte à 20 Korn", nullptr, u"GM-3101-20", 195},
             {u"Tüte à 100 Korn", nullptr, u"GM-3101-100", 650}}},
           {u"Tulpenzwiebeln Frühlingsmix",
            u"25 Tulpenzwiebeln in leuchtenden Farben. Pflanzzeit September bis November, Blüte im April.",
            {{"tulpenzwiebeln-1.jpg", M::Bulbs, kRed, S::Garden, 1.0, 311},
             {"tulpenzwiebeln-2.jpg", M::Bulbs, kYellow, S::Studio, 1.5, 312}},
            {{u"Netz à 25 Stück", nullptr, u"GM-3110-25", 890},
             {u"Netz à 50 Stück", nullptr, u"GM-3110-50", 1590}}},
           {u"Edelrose „Gloria“",
            u"Duftende Edelrose im 5-l-Container, mehrfach blühend.\r\nWuchshöhe ca. 80 cm, winterhart.",
            {{"edelrose-1.jpg", M::Rose, QColor(200, 30, 50), S::Garden, 1.0, 321},
             {"edelrose-2.jpg", M::Rose, kPink, S::Terrace, 1.0, 322},
             {"edelrose-3.jpg", M::Rose, QColor(200, 30, 50), S::Studio, 1.4, 323}},
            {{u"rot", nullptr, u"GM-3120-R", 1490},
             {u"rosa", nullptr, u"GM-3120-P", 1490},
             {u"gelb", nullptr, u"GM-3120-Y", 1590}}},
           {u"Lavendel „Hidcote Blue“",
            u"Kompakter, tiefblauer Lavendel für Beeteinfassungen und Kübel. Bienenfreundlich und duftend.",
            {{"lavendel-1.jpg", M::Lavender, kPurple, S::Terrace, 1.0, 331},
             {"lavendel-2.jpg", M::Lavender, kPurple, S::Garden, 1.0, 332}},
            {{u"Topf Ø 11 cm", nullptr, u"GM-3130-11", 399}, {u"Topf Ø 17 cm", nullptr, u"GM-3130-17", 899}}},
           {u"Wildblumenmischung für Bienen",
            u"Über 30 heimische Wildblumen und Kräuter für 10 m². Blüht von Juni bis zum ersten Frost.",
            {{"saatgut-wildblumen-1.jpg", M::SeedBag, kPurple.lighter(120), S::Studio, 1.0, 341}},
            {{u"Tüte 50 g", nullptr, u"GM-3140-50", 495}, {u"Beutel 250 g", nullptr, u"GM-3140-250", 1990}}},
       }},

      {u"Haus und Werkzeug",
       Role::Main,
       true,
       u"Werkzeug für jede Jahreszeit, Gartenmöbel zum Entspannen und alles für gemütliche Grillabende.",
       "kat-haus.jpg",
       1,
       true,
       12.0,
       false,
       {}},

      {u"Gartenwerkzeug",
       Role::Sub,
       true,
       u"Geschmiedet, gehärtet, mit Stielen aus heimischem Eschenholz – Werkzeug, das lange hält.",
       "kat-werkzeug.png",
       0,
       false,
       3.0,
       false,
       {
           {u"Spaten mit Eschenstiel",
            u"Geschmiedetes Spatenblatt aus gehärtetem Stahl, T-Griff aus Eschenholz.\r\nFür schwere Böden.",
            {{"spaten-1.jpg", M::Spade, kBlack, S::Garden, 1.0, 401},
             {"spaten-2.jpg", M::Spade, kBlack, S::Studio, 1.4, 402}},
            {{u"Spaten", nullptr, u"GM-4101", 3490}}},
           {u"Grabegabel",
            u"Vier geschmiedete Vierkantzinken zum Lockern und Umgraben, Stiellänge 95 cm.",
            {{"grabegabel-1.jpg", M::Fork, kBlack, S::Garden, 1.0, 411}},
            {{u"Grabegabel", nullptr, u"GM-4110", 3290}}},
           {u"Holzrechen, 14 Zinken",
            u"Rechen mit verzinkten Stahlzinken und 150 cm langem Stiel zum Einebnen von Beeten.",
            {{"rechen-1.jpg", M::Rake, kGalvanised, S::Garden, 1.0, 421}},
            {{u"14 Zinken", nullptr, u"GM-4120-14", 1790}, {u"16 Zinken", nullptr, u"GM-4120-16", 1990}}},
           {u"Rosenschere Profi",
            u"Bypass-Schere mit gehärteten Klingen für Schnitte bis 20 mm.\r\nErsatzfeder und Klinge "
            u"nachbestellbar.",
            {{"rosenschere-1.jpg", M::Shears, kRed, S::Studio, 1.0, 431},
             {"rosenschere-2.jpg", M::Shears, kRed, S::Terrace, 1.0, 432}},
            {{u"Rosenschere", nullptr, u"GM-4130", 2490}, {u"Ersatzklinge", nullptr, u"GM-4130-K", 890}}},
           {u"Blumenkelle Edelstahl",
            u"Pflanzkelle aus rostfreiem Edelstahl mit ergonomischem Griff.",
            {{"blumenkelle-1.jpg", M::Trowel, kGreen, S::Studio, 1.0, 441},
             {"blumenkelle-2.jpg", M::Trowel, kGreen, S::Garden, 1.0, 442}},
            {{u"Blumenkelle", nullptr, u"GM-4140", 995}}},
           {u"Schubkarre 90 l",
            u"Stabile Schubkarre mit verzinkter Mulde und luftbereiftem Rad. Tragkraft 150 kg.",
            {{"schubkarre-1.jpg", M::Wheelbarrow, kBlue, S::Garden, 1.0, 451},
             {"schubkarre-2.jpg", M::Wheelbarrow, kGalvanised, S::Studio, 1.0, 452},
             {"schubkarre-3.jpg", M::Wheelbarrow, kBlue, S::Garden, 1.4, 453}},
            {{u"Mulde verzinkt", nullptr, u"GM-4150-V", 8990},
             {u"Mulde blau lackiert", nullptr, u"GM-4150-B", 9490}}},
           {u"Laubrechen, verstellbar",
            u"Fächerbesen mit stufenlos verstellbarer Arbeitsbreite von 20 bis 55 cm.",
            {{"laubrechen-1.jpg", M::LeafRake, kGalvanised.darker(110), S::Garden, 1.0, 461}},
            {{u"Laubrechen", nullptr, u"GM-4160", 1490}}},
       }},

      {u"Gartenmöbel",
       Role::Sub,
       true,
       u"Möbel aus FSC-zertifiziertem Akazienholz und wetterfestem Aluminium für Terrasse und Balkon.",
       "kat-moebel.png",
       1,
       true,
       4.0,
       true,
       {
           {u"Gartenstuhl „Nordsee“",
            u"Klappbarer Gartenstuhl aus Akazienholz, geölt.\r\nSitzhöhe 45 cm, belastbar bis 120 kg.",
            {{"gartenstuhl-1.jpg", M::Chair, kAcacia, S::Terrace, 1.0, 501},
             {"gartenstuhl-2.jpg", M::Chair, kWhite, S::Garden, 1.0, 502}},
            {{u"Akazie natur", nullptr, u"GM-5101-N", 4990}, {u"weiß lasiert", nullptr, u"GM-5101-W", 5490}}},
           {u"Gartentisch Akazie, 160 × 90 cm",
            u"Massiver Gartentisch für sechs Personen mit Schirmloch.",
            {{"gartentisch-1.jpg", M::Table, kAcacia, S::Terrace, 1.0, 511},
             {"gartentisch-2.jpg", M::Table, kAcacia, S::Garden, 1.0, 512}},
            {{u"160 × 90 cm", nullptr, u"GM-5110-160", 24900},
             {u"200 × 100 cm", nullptr, u"GM-5110-200", 32900}}},
           {u"Gartenbank „Parkbank“, 3-Sitzer",
            u"Gartenbank mit Gusseisengestell und Latten aus Lärchenholz. Länge 150 cm.",
            {{"gartenbank-1.jpg", M::Bench, kLarch, S::Garden, 1.0, 521},
             {"gartenbank-2.jpg", M::Bench, QColor(60, 110, 70), S::Terrace, 1.0, 522},
             {"gartenbank-3.jpg", M::Bench, kLarch, S::Studio, 1.4, 523}},
            {{u"Lärche natur", nullptr, u"GM-5120-N", 18900}, {u"tannengrün", nullptr, u"GM-5120-G", 19900}}},
           {u"Sonnenschirm Ø 300 cm",
            u"Mittelmastschirm mit Kurbel und Knickgelenk, Bezug aus Polyester (UV 50+).\r\nOhne "
            u"Schirmständer.",
            {{"sonnenschirm-1.jpg", M::Parasol, kRed, S::Terrace, 1.0, 531},
             {"sonnenschirm-2.jpg", M::Parasol, kBeige, S::Garden, 1.0, 532}},
            {{u"terracotta", nullptr, u"GM-5130-T", 7990}, {u"natur", nullptr, u"GM-5130-N", 7990}}},
           {u"Sonnenliege mit Auflage",
            u"Verstellbare Aluminium-Liege mit wasserabweisender Auflage, fünffach verstellbar.",
            {{"sonnenliege-1.jpg", M::Lounger, kBlue, S::Garden, 1.0, 541}},
            {{u"Sonnenliege", nullptr, u"GM-5140", 12900}}},
           {u"Hollywoodschaukel „Sommerwind“",
            u"Dreisitzige Hollywoodschaukel mit Sonnendach und Sitzkissen. Gestell aus pulverbeschichtetem "
            u"Stahl.",
            {{"hollywoodschaukel-1.jpg", M::Swing, kBeige.darker(110), S::Garden, 1.0, 551},
             {"hollywoodschaukel-2.jpg", M::Swing, QColor(60, 110, 150), S::Terrace, 1.0, 552}},
            {{u"sand", nullptr, u"GM-5150-S", 29900}, {u"taubenblau", nullptr, u"GM-5150-B", 29900}}},
       }},

      // Kept without options, as a category created by an import would be.
      {u"Grillen und Dekoration",
       Role::Sub,
       false,
       nullptr,
       nullptr,
       0,
       false,
       3.0,
       false,
       {
           {u"Kugelgrill Ø 57 cm",
            u"Emaillierter Holzkohlegrill mit Deckelthermometer und Aschenbehälter.",
            {{"kugelgrill-1.jpg", M::Grill, kBlack, S::Terrace, 1.0, 601},
             {"kugelgrill-2.jpg", M::Grill, kBlack, S::Garden, 1.0, 602}},
            {{u"Ø 47 cm", nullptr, u"GM-6101-47", 11900}, {u"Ø 57 cm", nullptr, u"GM-6101-57", 14900}}},
           {u"Windlicht Laterne",
            u"Laterne aus Metall mit Glaseinsatz für Stumpenkerzen.\r\nHöhe 38 cm.",
            {{"windlicht-1.jpg", M::Lantern, kBlack, S::Terrace, 1.0, 611},
             {"windlicht-2.jpg", M::Lantern, kWhite, S::Studio, 1.0, 612}},
            {{u"schwarz", nullptr, u"GM-6110-S", 1990}, {u"weiß", nullptr, u"GM-6110-W", 1990}}},
           {u"Vogelhaus „Meise“",
            u"Nistkasten aus Kiefernholz mit 28-mm-Flugloch, zum Aufhängen oder Aufstellen.",
            {{"vogelhaus-1.jpg", M::Birdhouse, QColor(90, 140, 90), S::Garden, 1.0, 621},
             {"vogelhaus-2.jpg", M::Birdhouse, kLarch, S::Studio, 1.0, 622}},
            {{u"Vogelhaus", nullptr, u"GM-6120", 2490}, {u"Pfahl 150 cm", nullptr, u"GM-6120-P", 1290}}},
           {u"Insektenhotel „Summ“",
            u"Nisthilfe für Wildbienen und Florfliegen mit Bambus, Holz und Lochziegeln.",
            {{"insektenhotel-1.jpg", M::InsectHotel, kAcacia, S::Garden, 1.0, 631}},
            {{u"Insektenhotel", nullptr, u"GM-6130", 2990}}},
           {u"Tischgrill „Picknick“",
            u"Kleiner Holzkohlegrill für Balkon und Ausflug, mit Tragegriff.",
            {{"tischgrill-1.jpg", M::Grill, kRed, S::Terrace, 1.0, 641}},
            {{u"Tischgrill", nullptr, u"GM-6140", 3490}}},
       }},
  };
}

// Category pictures: the icon motifs of the subcategories and the banners of
// the main categories.
struct CategoryPictureDef {
  const char* file;
  bool banner;
  bool house;
  Motif motif;
  QColor colour;
  QColor field;
};

const CategoryPictureDef kCategoryPictures[] = {
    {"kat-garten.jpg", true, false, Motif::Pot, {}, {}},
    {"kat-haus.jpg", true, true, Motif::Pot, {}, {}},
    {"kat-blumentoepfe.png", false, false, Motif::Pot, kTerracotta, QColor(232, 242, 222)},
    {"kat-giessen.png", false, false, Motif::WateringCan, kGalvanised, QColor(222, 236, 246)},
    {"kat-werkzeug.png", false, false, Motif::Spade, kBlack, QColor(240, 232, 216)},
    {"kat-moebel.png", false, false, Motif::Chair, kAcacia, QColor(246, 236, 220)},
};

// Colours of the one category with its own heading colours.
const TColor kOwnArea = RGBColor(214, 196, 160);
const TColor kOwnName = RGBColor(96, 62, 30);
const TColor kOwnFont = RGBColor(255, 248, 220);

// ---------------------------------------------------------------- helpers

std::u16string U16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size());
}

// "1.290,00 €"
std::u16string Price(int cents) {
  QString euros = QString::number(cents / 100);
  for (int i = euros.size() - 3; i > 0; i -= 3) euros.insert(i, QLatin1Char('.'));
  return U16(QStringLiteral("%1,%2 €").arg(euros).arg(cents % 100, 2, 10, QLatin1Char('0')));
}

// A tier price: `percent` of the single price, rounded to 5 cents.
int Tier(int cents, int percent) { return (cents * percent + 250) / 500 * 5; }

void AddRow(Document& doc, Product& p, const std::vector<std::u16string>& texts) {
  VariantRow* row = doc.AddRow(p);
  for (const std::u16string& t : texts) row->cells.Add()->text = t;
}

QString PathIn(const QString& folder, const char* name) {
  return folder + QLatin1Char('/') + QString::fromUtf8(name);
}

bool SaveImage(const QImage& image, const QString& path, QString* error) {
  const bool jpeg = path.endsWith(QLatin1String(".jpg"));
  QImageWriter writer(path, jpeg ? "jpeg" : "png");
  if (jpeg) writer.setQuality(82);
  if (writer.write(image)) return true;
  if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
  return false;
}

double PictureWidth(size_t count) { return count >= 3 ? 5.0 : count == 2 ? 6.0 : 7.0; }

}  // namespace

void BuildSampleCatalog(Document& doc, const QString& folderIn) {
  const QString folder = QDir(folderIn).absolutePath();
  doc.NewAll();
  doc.settings = CatalogSettings();
  doc.templatecolumns = {u"Name", u"Art. Nummer", u"Preis", u"Ab 10 Stk.", u"Ab 100 Stk."};

  CatalogSettings& s = doc.settings;
  s.LayoutCombo = 0;
  s.PreDefAnzPreisEd = 3;
  s.KopfEd = u"Gartenhaus Morvetta – Katalog 2027";
  s.FussEd = u"%PAGE%  -  Besuchen Sie uns im Internet unter www.gartenhaus-morvetta.de";
  s.FussEd2 = u"Besuchen Sie uns im Internet unter www.gartenhaus-morvetta.de  -  %PAGE%";
  s.Fuss2Ed = u"Alle Preise in Euro inkl. MwSt., zzgl. Versandkosten. Irrtümer und Änderungen vorbehalten.";
  s.Shape1 = RGBColor(34, 96, 48);
  s.Shape2 = RGBColor(34, 96, 48);
  s.FilenameEdit2 = U16(PathIn(folder, kBackgroundFileName));
  s.FilenameEdit1 = U16(PathIn(folder, kLogoFileName));

  for (const CategoryDef& cd : Catalog()) {
    Category* cat = doc.AddCategory(cd.name);
    if (cd.hasOptions) {
      auto o = std::make_unique<CategoryOptions>(NewCategoryOptions());
      o->istoc = cd.role == Role::Contents;
      if (cd.introtext) o->introtext = cd.introtext;
      if (cd.picfile) o->picfile = U16(PathIn(folder, cd.picfile));
      o->picwidth = cd.picwidth;
      o->picbelowname = cd.picbelowname;
      o->introbelowpic = cd.introbelowpic;
      if (cd.ownColours) {
        o->ownareacolor = o->ownnamecolor = o->ownfontcolor = true;
        o->areacolor = kOwnArea;
        o->namecolor = kOwnName;
        o->fontcolor = kOwnFont;
      }
      cat->options = std::move(o);
    }
    for (const ProductDef& pd : cd.products) {
      Product* p = doc.AddProduct(*cat);
      p->name = pd.name;
      p->description = pd.description;
      p->pricecols = 3;
      const bool sized = !pd.variants.empty() && pd.variants.front().size;
      if (sized)
        AddRow(doc, *p, {u"Name", u"Größe", u"Art. Nummer", u"Preis", u"Ab 10 Stk.", u"Ab 100 Stk."});
      else
        AddRow(doc, *p, doc.templatecolumns);
      for (const VariantDef& v : pd.variants) {
        std::vector<std::u16string> cells{v.name};
        if (sized) cells.push_back(v.size);
        cells.insert(cells.end(),
                     {v.artnr, Price(v.cents), Price(Tier(v.cents, 93)), Price(Tier(v.cents, 85))});
        AddRow(doc, *p, cells);
      }
      for (const PicDef& pic : pd.pictures) {
        Picture* pp = doc.AddPicture(*p);
        pp->filename = U16(PathIn(folder, pic.file));
        pp->width = PictureWidth(pd.pictures.size());
      }
    }
  }
}

bool WriteSamplePictures(const QString& folder, QStringList* written, QString* error) {
  auto note = [&](const char* name) {
    if (written) written->append(QString::fromUtf8(name));
  };
  for (const CategoryDef& cd : Catalog()) {
    for (const ProductDef& pd : cd.products) {
      for (const PicDef& pic : pd.pictures) {
        const QImage image = DrawProductPicture({pic.motif, pic.colour, pic.scene, pic.zoom, pic.seed});
        if (!SaveImage(image, PathIn(folder, pic.file), error)) return false;
        note(pic.file);
      }
    }
  }
  for (const CategoryPictureDef& cp : kCategoryPictures) {
    const QImage image =
        cp.banner ? DrawBanner(cp.house) : DrawCategoryPicture(cp.motif, cp.colour, cp.field);
    if (!SaveImage(image, PathIn(folder, cp.file), error)) return false;
    note(cp.file);
  }
  if (!SaveImage(DrawBackgroundTexture(), PathIn(folder, kBackgroundFileName), error)) return false;
  note(kBackgroundFileName);
  if (!WriteGif(DrawLogo(), PathIn(folder, kLogoFileName))) {
    if (error) *error = QStringLiteral("cannot write %1").arg(PathIn(folder, kLogoFileName));
    return false;
  }
  note(kLogoFileName);
  return true;
}

bool GenerateSample(const QString& folderIn, QStringList* written, QString* error) {
  const QString folder = QDir(folderIn).absolutePath();
  if (!QDir().mkpath(folder)) {
    if (error) *error = QStringLiteral("cannot create %1").arg(folder);
    return false;
  }
  if (!WriteSamplePictures(folder, written, error)) return false;
  Document doc;
  BuildSampleCatalog(doc, folder);
  const QString project = PathIn(folder, kProjectFileName);
  std::u16string why;
  if (!SaveProjectFile(doc, QFile::encodeName(project).toStdString(), &why)) {
    if (error) *error = QString::fromStdU16String(why);
    return false;
  }
  if (written) written->append(QString::fromUtf8(kProjectFileName));
  return true;
}

}  // namespace samplegen
