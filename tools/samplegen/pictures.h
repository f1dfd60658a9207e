// Procedural pictures of the sample catalog: garden goods drawn with plain
// shapes and gradients on QImage. Everything depends only on the arguments
// (no clock, no global random state), so the same call gives the same
// pixels on every run.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>

namespace samplegen {

// What a product picture shows.
enum class Motif {
  Pot,
  BalconyBox,
  HangingBasket,
  PlantBowl,
  Tub,
  WateringCan,
  Hose,
  HoseReel,
  Sprinkler,
  Sprayer,
  SeedBag,
  Bulbs,
  Rose,
  Lavender,
  Herbs,
  Spade,
  Fork,
  Rake,
  Shears,
  Trowel,
  Wheelbarrow,
  LeafRake,
  Chair,
  Table,
  Bench,
  Parasol,
  Lounger,
  Swing,
  Grill,
  Lantern,
  Birdhouse,
  InsectHotel,
};

// The setting a motif stands in.
enum class Scene { Garden, Studio, Terrace };

struct PictureSpec {
  Motif motif;
  QColor colour;  // main colour of the object
  Scene scene;
  double zoom = 1.0;  // > 1 shows a detail around the object's centre
  uint32_t seed = 1;  // varies grass, wood grain and blossoms
};

// A product picture of `width` x `height` pixels (drawn on a 400 x 300
// canvas and scaled, so the composition does not depend on the size).
QImage DrawProductPicture(const PictureSpec& spec, int width = 400, int height = 300);

// A small picture for a category heading: the motif on a plain light field.
QImage DrawCategoryPicture(Motif motif, const QColor& colour, const QColor& field, int width = 240,
                           int height = 160);

// A wide banner for a main category: a garden landscape with a fence and
// flower beds, or with a house front when `house` is set.
QImage DrawBanner(bool house, int width = 480, int height = 200);

// A light paper-and-leaf texture that tiles without seams.
QImage DrawBackgroundTexture(int size = 256);

// The shop's logo: a green disc with a garden house and a leaf.
QImage DrawLogo(int size = 200);

}  // namespace samplegen
