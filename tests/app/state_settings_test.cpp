#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/settings.h"
#include "base/state_queue.h"

TEST(StateQueue, OneEntryPerKeyAndTheFirstValueWins) {
  app_state_queue q;
  EXPECT_TRUE(state_post(q, kStateBackground, 3));
  EXPECT_FALSE(state_post(q, kStateBackground, 7));
  uint32_t v = 0;
  ASSERT_TRUE(state_pending(q, kStateBackground, &v));
  EXPECT_EQ(v, 3u);
  EXPECT_FALSE(state_pending(q, kStateTitle, &v));
  state_clear(q);
  EXPECT_FALSE(state_pending(q, kStateBackground, &v));
}

TEST(StateQueue, HoldsAtMostFortyKeys) {
  app_state_queue q;
  for (uint32_t k = 1; k <= 40; ++k) EXPECT_TRUE(state_post(q, k, k));
  EXPECT_FALSE(state_post(q, 41, 41));
  EXPECT_EQ(q.count, 40);
}

TEST(Settings, BackgroundIndexIsClamped) {
  EXPECT_EQ(settings_background_index("-3"), 0);
  EXPECT_EQ(settings_background_index("12"), 10);
  EXPECT_EQ(settings_background_index("abc"), 0);
  EXPECT_EQ(settings_background_index("9"), 9);
  EXPECT_EQ(settings_background_index("10"), 10);
  EXPECT_EQ(settings_background_index(nullptr), 0);
  EXPECT_EQ(settings_first_run("0"), 0);
  EXPECT_EQ(settings_first_run("5"), 1);
  EXPECT_EQ(settings_first_run(nullptr), 1);
}

TEST(Settings, DefaultColourListsStartRedGreenBlue) {
  app_settings s;
  s.background = 4;
  settings_defaults(s);
  EXPECT_EQ(s.background, 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(s.colour_count[i], 3);
    EXPECT_EQ(s.colours[i][0], 0x0000FFu);  // red in the low byte
    EXPECT_EQ(s.colours[i][1], 0x00FF00u);
    EXPECT_EQ(s.colours[i][2], 0xFF0000u);
  }
  EXPECT_EQ(s.colour, 0xFFFFFFu);
  EXPECT_FLOAT_EQ(s.scale, 1.0f);
}

TEST(OpenRequest, PathFollowsTheExtensionAndEqualsSign) {
  std::string text = ".zws=C:\\My Files\\a.zws";
  char path[512];
  ASSERT_TRUE(parse_open_request(text.c_str(), text.size() + 1, path, sizeof path));
  EXPECT_STREQ(path, "C:\\My Files\\a.zws");
  // Without ".zws" the request is ignored; an embedded zero ends the text.
  EXPECT_FALSE(parse_open_request("C:\\a.png", 9, path, sizeof path));
  const char embedded[] = ".zws=C:\\a\0.zws=D:\\b";
  ASSERT_TRUE(parse_open_request(embedded, sizeof embedded, path, sizeof path));
  EXPECT_STREQ(path, "C:\\a");
  // cbData counts the terminator: a count of 0 or 1 holds no text.
  EXPECT_FALSE(parse_open_request(text.c_str(), 1, path, sizeof path));
  // Longer than the 1023 bytes that are looked at: cut, never overrun.
  std::string big = ".zws=" + std::string(3000, 'x');
  ASSERT_TRUE(parse_open_request(big.c_str(), big.size() + 1, path, sizeof path));
  EXPECT_EQ(std::strlen(path), 511u);
}
