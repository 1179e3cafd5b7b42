// The brush text parser and the names of settings and inputs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "paint/mp_brush.h"
#include "paint/mp_mapping.h"

namespace {

struct parsed {
  int named;
  mp_setting s[kMpSettingCount];
};

parsed parse(const std::string& text) {
  parsed p;
  p.named = mp_parse_brush_text(text.data(), text.size(), p.s);
  return p;
}

int setting(const char* name) { return mp_setting_index(name, std::strlen(name)); }
int input(const char* name) { return mp_input_index(name, std::strlen(name)); }

void expect_points(const mp_mapping& m, std::initializer_list<float> xy) {
  ASSERT_EQ(m.count * 2, int(xy.size()));
  int i = 0;
  for (auto it = xy.begin(); it != xy.end(); it += 2, ++i) {
    EXPECT_FLOAT_EQ(m.x[i], it[0]) << "point " << i;
    EXPECT_FLOAT_EQ(m.y[i], it[1]) << "point " << i;
  }
}

TEST(MpNames, OrderAndCaseInsensitiveLookup) {
  EXPECT_EQ(setting("opaque"), 0);
  EXPECT_EQ(setting("radius_logarithmic"), kMpRadiusLogarithmic);
  EXPECT_EQ(setting("RADIUS_LOGARITHMIC"), kMpRadiusLogarithmic);
  EXPECT_EQ(setting("direction_filter"), kMpSettingCount - 1);
  EXPECT_EQ(setting("Smudge"), kMpSmudge);
  EXPECT_EQ(setting("eraser"), kMpEraser);
  EXPECT_EQ(setting("color_v"), kMpColorV);
  EXPECT_EQ(setting("anti_aliasing"), -1);  // the library's, not the format's
  EXPECT_EQ(setting("opaqu"), -1);
  EXPECT_EQ(setting("opaque_"), -1);
  EXPECT_EQ(mp_setting_index("opaque\0x", 7), -1);
  EXPECT_EQ(input("custom"), kMpInputCount - 1);
  EXPECT_EQ(input("Tilt_Ascension"), 7);
  EXPECT_EQ(input("viewzoom"), -1);
}

TEST(MpParse, CommentsAndVersionOnlyNameNothing) {
  parsed p = parse("# mypaint brush file\n\n   # another\nversion 2\n");
  EXPECT_EQ(p.named, 0);
  EXPECT_EQ(parse("").named, 0);
  EXPECT_EQ(parse("opaque\n").named, 0);  // no blank: not a setting line
}

TEST(MpParse, UpperCaseNameSetsTheSetting) {
  parsed p = parse("version 2\n  RADIUS_LOGARITHMIC 2.0  \r\n");
  EXPECT_EQ(p.named, 1);
  EXPECT_FLOAT_EQ(p.s[kMpRadiusLogarithmic].base, 2.0f);
  EXPECT_FLOAT_EQ(p.s[kMpOpaque].base, 0.0f);  // everything else cleared
}

TEST(MpParse, BothPointFormsGiveTheSameCurve) {
  parsed a = parse("opaque 1.0 | pressure (0.000000 0.000000), (1.000000 1.000000)\n");
  parsed b = parse("opaque 1.0 | pressure 0 0 1 1\n");
  for (const parsed* p : {&a, &b}) {
    EXPECT_EQ(p->named, 1);
    EXPECT_FLOAT_EQ(p->s[kMpOpaque].base, 1.0f);
    expect_points(p->s[kMpOpaque].inputs[input("pressure")], {0, 0, 1, 1});
    for (int i = 1; i < kMpInputCount; ++i) EXPECT_FALSE(p->s[kMpOpaque].inputs[i].active());
  }
  parsed none = parse("opaque 1.0 | pressure 0 0\n");
  EXPECT_EQ(none.named, 1);
  EXPECT_FALSE(none.s[kMpOpaque].inputs[input("pressure")].active());
  // The older form keeps an implied origin and drops pairs that are the origin.
  parsed old = parse("hardness 0.5 | speed1 0.5 0.25 0 0 2 1\n");
  expect_points(old.s[kMpHardness].inputs[input("speed1")], {0, 0, 0.5f, 0.25f, 2, 1});
}

TEST(MpParse, SeveralInputsAndUnknownParts) {
  parsed p = parse(
      "opaque_multiply 0.5 | PRESSURE (0 0), (0.5 0.9), (1 1) | viewzoom (0 0), (1 1) "
      "| speed2 (0 -1), (4 2)|   \n"
      "unknown_setting 7 | pressure (0 0), (1 1)\n");
  EXPECT_EQ(p.named, 1);
  const mp_setting& s = p.s[1];
  EXPECT_FLOAT_EQ(s.base, 0.5f);
  expect_points(s.inputs[input("pressure")], {0, 0, 0.5f, 0.9f, 1, 1});
  expect_points(s.inputs[input("speed2")], {0, -1, 4, 2});
}

TEST(MpParse, MalformedPointsLoseOnlyThemselves) {
  // Missing parenthesis, no blank inside, falling x, not a number: dropped.
  parsed p = parse("hardness 0.8 | pressure (0 0), 0.2 0.3), (0.4), (0.5 0.5), (0.3 0.9), (1 1)\n");
  expect_points(p.s[kMpHardness].inputs[input("pressure")], {0, 0, 0.5f, 0.5f, 1, 1});
  // At most 8 points are read.
  parsed many = parse(
      "hardness 0 | random (0 0), (1 1), (2 2), (3 3), (4 4), (5 5), (6 6), (7 7), (8 8), (9 9)\n");
  EXPECT_EQ(many.s[kMpHardness].inputs[input("random")].count, 8);
  // A curve left with one point is no curve.
  parsed one = parse("hardness 0 | random (0 0), (x y)\n");
  EXPECT_FALSE(one.s[kMpHardness].inputs[input("random")].active());
}

TEST(MpParse, LaterLineReplacesSettingAndItsMappings) {
  parsed p = parse("opaque 1 | pressure (0 0), (1 1)\nopaque 0.25\n");
  EXPECT_EQ(p.named, 2);
  EXPECT_FLOAT_EQ(p.s[kMpOpaque].base, 0.25f);
  EXPECT_FALSE(p.s[kMpOpaque].inputs[0].active());
}

TEST(MpParse, BadNumbersAndLongPartsStayBounded) {
  parsed p = parse("opaque nan\nhardness 1e999\nsmudge  -0.5junk\n");
  EXPECT_EQ(p.named, 3);
  EXPECT_FLOAT_EQ(p.s[kMpOpaque].base, 0.0f);
  EXPECT_FLOAT_EQ(p.s[kMpHardness].base, 0.0f);
  EXPECT_FLOAT_EQ(p.s[kMpSmudge].base, -0.5f);
  // A part beyond 255 characters is cut; the text has no terminating zero.
  std::string line = "eraser 0.75" + std::string(400, '0') + "1 | pressure (0 0), (1 1)";
  parsed q = parse(line);
  EXPECT_FLOAT_EQ(q.s[kMpEraser].base, 0.75f);
  expect_points(q.s[kMpEraser].inputs[0], {0, 0, 1, 1});
}

}  // namespace
