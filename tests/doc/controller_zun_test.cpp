// ".zun" pictures: flattening of visible layers over white, the fixed-size
// variant, and damaged files.
#include <gtest/gtest.h>

#include "base/dib.h"
#include "base/surface.h"
#include "doc/zun_picture.h"
#include "tests/doc/controller_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"

namespace {
class ZunPicture : public LeakCheck {};

struct surface_holder {
  paint_surface* s;
  explicit surface_holder(paint_surface* p) : s(p) {}
  ~surface_holder() { surface_free(s); }
};

dib_block* decode(const std::string& bytes) {
  return zun_picture_decode(bytes.data(), bytes.size());
}

TEST_F(ZunPicture, FixedSizeTagAlwaysGives600By450AndHidesHiddenLayers) {
  surface_holder red(surface_new(450, 600)), blue(surface_new(450, 600)),
      small(surface_new(10, 20));
  surface_paint_pixel(red.s, 5, 7, dib_colour(255, 0, 0), 1.0f);
  surface_paint_pixel(blue.s, 9, 9, dib_colour(0, 0, 255), 1.0f);
  surface_paint_pixel(small.s, 3, 4, dib_colour(0, 255, 0), 1.0f);
  // With tag 1062 the opacity field does not exist: every layer draws at 1.
  const ctl::zun_layer layers[] = {{red.s, 1, 0.0f}, {blue.s, 0, 1.0f}, {small.s, 1, 0.0f}};
  dib_block* b = decode(ctl::zun_bytes(1062, 0, 0, layers, 3, 99));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dib_width(b), 600);
  EXPECT_EQ(dib_height(b), 450);
  EXPECT_EQ(dib_bits(b), 24);
  EXPECT_EQ(px(b, 5, 7), dib_colour(255, 0, 0));
  EXPECT_EQ(px(b, 9, 9), 0xFFFFFFu) << "a hidden layer showed";
  EXPECT_EQ(px(b, 3, 4), dib_colour(0, 255, 0)) << "a smaller layer is drawn clipped";
  EXPECT_EQ(px(b, 599, 449), 0xFFFFFFu);
  dib_free(b);
}

TEST_F(ZunPicture, LayersBlendInFileOrderWithCoverageTimesOpacity) {
  surface_holder below(surface_new(4, 6)), above(surface_new(4, 6));
  surface_paint_pixel(below.s, 1, 1, dib_colour(0, 0, 0), 1.0f);
  surface_paint_pixel(above.s, 1, 1, dib_colour(255, 255, 255), 1.0f);
  surface_paint_pixel(above.s, 2, 1, dib_colour(0, 0, 0), 0.5f);  // coverage 127
  const ctl::zun_layer layers[] = {{below.s, 1, 1.0f}, {above.s, 1, 0.5f}};
  for (uint16_t tag : {uint16_t{1063}, uint16_t{1048}}) {
    dib_block* b = decode(ctl::zun_bytes(tag, 6, 4, layers, 2));
    ASSERT_NE(b, nullptr) << tag;
    EXPECT_EQ(dib_width(b), 6);
    EXPECT_EQ(dib_height(b), 4);
    // White at half over black, and black at about a quarter over white.
    const uint32_t mid = px(b, 1, 1), quarter = px(b, 2, 1);
    EXPECT_NEAR(dib_red(mid), 127, 2) << tag;
    EXPECT_NEAR(dib_red(quarter), 255 - 64, 3) << tag;
    EXPECT_EQ(px(b, 0, 0), 0xFFFFFFu);
    dib_free(b);
  }
}

TEST_F(ZunPicture, PlainLayerCoversItsWholeSurfaceAtTheLayerOpacity) {
  surface_holder plain(surface_new_plain(3, 3, dib_colour(0, 0, 0)));
  const ctl::zun_layer layers[] = {{plain.s, 1, 1.0f}};
  dib_block* b = decode(ctl::zun_bytes(1063, 5, 5, layers, 1));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(px(b, 2, 2), 0u);
  EXPECT_EQ(px(b, 3, 3), 0xFFFFFFu);
  dib_free(b);
}

TEST_F(ZunPicture, DamagedFilesAreRefused) {
  surface_holder s(surface_new(4, 4));
  surface_paint_pixel(s.s, 1, 1, 0, 1.0f);
  const ctl::zun_layer layer[] = {{s.s, 1, 1.0f}};
  const std::string good = ctl::zun_bytes(1063, 4, 4, layer, 1);
  dib_block* ok = decode(good);
  ASSERT_NE(ok, nullptr);
  dib_free(ok);

  EXPECT_EQ(decode(std::string()), nullptr);
  std::string wrong_tag = good;
  wrong_tag[0] = 7;
  EXPECT_EQ(decode(wrong_tag), nullptr);
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < good.size(); n += 7)
    EXPECT_EQ(decode(good.substr(0, n)), nullptr) << n;
  EXPECT_EQ(decode(good.substr(0, good.size() - 1)), nullptr);

  std::string no_layers = good;
  no_layers.replace(14, 4, std::string(4, '\0'));  // count 0
  EXPECT_EQ(decode(no_layers), nullptr);
  std::string many = good;
  many.replace(14, 4, std::string("\xff\xff\xff\x7f", 4));
  EXPECT_EQ(decode(many), nullptr);
  // A picture size beyond any document is refused before anything is made.
  std::string huge = good;
  huge.replace(2, 8, std::string("\xff\xff\x00\x00\xff\xff\x00\x00", 8));
  EXPECT_EQ(decode(huge), nullptr);
  // A layer whose bitmap is not the size its record says.
  std::string lie = ctl::zun_bytes(1063, 4, 4, layer, 1);
  lie.replace(28, 4, std::string("\x05\x00\x00\x00", 4));  // surface width 5
  EXPECT_EQ(decode(lie), nullptr);
  EXPECT_EQ(zun_picture_read("no/such/file.zun"), nullptr);
}

TEST_F(ZunPicture, PathTest) {
  EXPECT_TRUE(zun_path("a.ZuN"));
  EXPECT_TRUE(zun_path("dir\\b.zun"));
  EXPECT_FALSE(zun_path("zun"));
  EXPECT_FALSE(zun_path("a.zunx"));
  EXPECT_FALSE(zun_path(nullptr));
}
}  // namespace
