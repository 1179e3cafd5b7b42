#include "base/lzari.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/alloc.h"
#include "tests/support/leak_check.h"
#include "tools/lzari/lzari_encode.h"

namespace {

using bytes = std::vector<unsigned char>;

bytes of(const std::string& s) { return bytes(s.begin(), s.end()); }

bytes encode(const bytes& text, lzari_stats* stats = nullptr) {
  bytes out;
  EXPECT_EQ(lzari_encode(text.data(), uint32_t(text.size()), out, stats), 1);
  return out;
}

void put_textsize(bytes& stream, uint32_t textsize) {
  for (int k = 0; k < 4; k++) stream[k] = static_cast<unsigned char>(textsize >> (8 * k));
}

class Lzari : public LeakCheck {
 protected:
  // Decodes with a fresh object and returns the text; ok receives the result.
  bytes decode(const bytes& stream, int* ok = nullptr) {
    auto coder = std::make_unique<LZARI>();
    const unsigned char* out = nullptr;
    uint32_t length = 12345;
    int r = coder->decode(stream.data(), uint32_t(stream.size()), &out, &length);
    if (ok) *ok = r;
    EXPECT_EQ(out == nullptr, length == 0);
    return out ? bytes(out, out + length) : bytes();
  }

  void expect_round_trip(const bytes& text, const char* what) {
    bytes stream = encode(text);
    int ok = 0;
    bytes back = decode(stream, &ok);
    EXPECT_EQ(ok, 1) << what;
    EXPECT_TRUE(back == text) << what << ": " << text.size() << " bytes in, " << back.size()
                              << " out";
  }
};

TEST_F(Lzari, BufferReservesExactlyThenInGrowSteps) {
  LZARI_BUF buf;
  buf.set_grow_step(100);
  ASSERT_EQ(buf.reserve(10), 1);
  EXPECT_EQ(buf.capacity(), 10u);
  for (int i = 0; i < 10; i++) ASSERT_EQ(buf.put('a' + i), 1);
  EXPECT_EQ(buf.capacity(), 10u);
  ASSERT_EQ(buf.put('x'), 1);  // 11 rounds up to one grow step
  EXPECT_EQ(buf.capacity(), 100u);
  ASSERT_EQ(buf.reserve(150), 1);  // 11 + 150 -> 200
  EXPECT_EQ(buf.capacity(), 200u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buf.data())), "abcdefghijx");
  EXPECT_EQ(buf.data()[buf.capacity()], 0);  // the spare byte beyond the capacity

  // A reservation that cannot be met leaves the buffer as it was.
  const unsigned char* before = buf.data();
  EXPECT_EQ(buf.reserve(UINT32_MAX), 0);
  EXPECT_EQ(buf.data(), before);
  EXPECT_EQ(buf.length(), 11u);
  EXPECT_EQ(buf.capacity(), 200u);
  buf.clear();
  EXPECT_EQ(buf.data(), nullptr);
  EXPECT_EQ(buf.length(), 0u);
}

TEST_F(Lzari, HeaderCases) {
  int ok = -1;
  // Text size 0: a valid empty stream. Shorter than a header: not a stream.
  EXPECT_TRUE(decode(encode({}), &ok).empty());
  EXPECT_EQ(ok, 1);
  EXPECT_TRUE(decode(bytes{0, 0, 0, 0, 0xAB, 0xCD}, &ok).empty());
  EXPECT_EQ(ok, 1);
  EXPECT_TRUE(decode(bytes{5, 0, 0}, &ok).empty());
  EXPECT_EQ(ok, 0);
  EXPECT_TRUE(decode(bytes{}, &ok).empty());
  EXPECT_EQ(ok, 0);

  // Room for 30 times the input is taken up front.
  bytes hello = encode(of("hello"));
  ASSERT_EQ(hello.size(), 10u);
  LZARI coder;
  const unsigned char* out = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(coder.decode(hello.data(), 10, &out, &length), 1);
  EXPECT_EQ(coder.output().capacity(), 301u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out)), "hello");  // terminated
}

TEST_F(Lzari, LiteralsAndLeadingMatch) {
  lzari_stats st;
  bytes text = of("The quick brown fox jumps");
  bytes stream = encode(text, &st);
  EXPECT_EQ(st.matches, 0u);
  EXPECT_EQ(st.literals, text.size());
  EXPECT_EQ(decode(stream), text);

  // Leading spaces match the window's initial fill before any text exists.
  text = of("          indented line          indented");
  stream = encode(text, &st);
  EXPECT_EQ(st.first_is_match, 1);
  EXPECT_EQ(decode(stream), text);

  // A match overlapping its own output (distance 1, run of 200).
  text = bytes(200, 'z');
  stream = encode(text, &st);
  EXPECT_GT(st.matches, 2u);
  EXPECT_EQ(decode(stream), text);
}

TEST_F(Lzari, LongInputsAndFrequencyHalving) {
  // Longer than the window, with repeats both inside and beyond 4096 bytes.
  std::mt19937 rng(7);
  bytes block(3000);
  for (auto& b : block) b = static_cast<unsigned char>(rng() % 40 + 'A');
  bytes text;
  for (int i = 0; i < 5; i++) {
    text.insert(text.end(), block.begin(), block.end());
    for (int k = 0; k < 2000; k++) text.push_back(static_cast<unsigned char>(rng()));
  }
  lzari_stats st;
  bytes stream = encode(text, &st);
  EXPECT_GT(st.matches, 100u);
  EXPECT_EQ(decode(stream), text);

  // Enough symbols for the character total to reach MAX_CUM several times.
  text.resize(120000);
  for (auto& b : text) b = static_cast<unsigned char>(rng() % 3 == 0 ? rng() : 'a' + rng() % 20);
  stream = encode(text, &st);
  EXPECT_GE(st.halvings, 2u);
  EXPECT_EQ(decode(stream), text);
}

TEST_F(Lzari, RoundTripProperty) {
  std::mt19937 rng(20261208);
  for (int round = 0; round < 160; round++) {
    uint32_t n = rng() % (round % 8 == 0 ? 20000 : 700);
    bytes text(n);
    switch (round % 5) {
      case 0:  // random bytes
        for (auto& b : text) b = static_cast<unsigned char>(rng());
        break;
      case 1:  // a small alphabet
        for (auto& b : text) b = " ab\n"[rng() % 4];
        break;
      case 2:  // copies of earlier text at random distances and lengths
        for (uint32_t i = 0; i < n; i++) {
          if (i > 8 && rng() % 3 == 0) {
            uint32_t from = rng() % i, len = 1 + rng() % 80;
            for (uint32_t k = 0; k < len && i < n; k++) text[i++] = text[from + k];
            i--;
          } else {
            text[i] = static_cast<unsigned char>(rng() % 256);
          }
        }
        break;
      case 3:  // runs of one byte, including spaces and zeros
        for (uint32_t i = 0; i < n;) {
          unsigned char c = "\0 \xff"[rng() % 3];
          for (uint32_t len = rng() % 100; len && i < n; len--) text[i++] = c;
        }
        break;
      default:  // a bitmap-like ramp
        for (uint32_t i = 0; i < n; i++) text[i] = static_cast<unsigned char>((i % 97) / 3);
    }
    expect_round_trip(text, ("round " + std::to_string(round)).c_str());
    if (HasFailure()) break;
  }
}

TEST_F(Lzari, ReusedDecoderDropsEarlierOutput) {
  LZARI coder;
  bytes a = encode(bytes(5000, 'a')), b = encode(of("bee"));
  const unsigned char* out = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(coder.decode(a.data(), uint32_t(a.size()), &out, &length), 1);
  EXPECT_EQ(length, 5000u);
  ASSERT_EQ(coder.decode(b.data(), uint32_t(b.size()), &out, &length), 1);
  EXPECT_EQ(bytes(out, out + length), of("bee"));
  EXPECT_EQ(coder.decode(b.data(), 2, &out, &length), 0);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(Lzari, TextSizeIsBoundedByTheInput) {
  EXPECT_EQ(LZARI::text_limit(3), 0u);
  EXPECT_EQ(LZARI::text_limit(4), 4096u);
  EXPECT_EQ(LZARI::text_limit(104), 64096u);
  EXPECT_EQ(LZARI::text_limit(200000), LZARI::MAX_TEXT);

  // The densest streams stay inside the limit: a long run coded as literals
  // only (about 400 bytes of text per byte here), far denser than the match
  // finder's best, and beyond the 30 x input reserved up front.
  bytes run(1 << 20, 'a');
  bytes stream;
  ASSERT_EQ(lzari_encode_literals(run.data(), uint32_t(run.size()), stream), 1);
  EXPECT_GT(run.size(), stream.size() * 300);
  EXPECT_LE(run.size(), LZARI::text_limit(uint32_t(stream.size())));
  EXPECT_EQ(decode(stream), run);
  stream = encode(run);
  EXPECT_LT(run.size(), stream.size() * 60);
  EXPECT_EQ(decode(stream), run);

  // A header claiming more than the code can hold is refused before decoding,
  // and nothing beyond the up-front 30 x input is ever taken.
  bytes hostile(40, 0x55);
  put_textsize(hostile, LZARI::text_limit(40) + 1);
  auto coder = std::make_unique<LZARI>();
  const unsigned char* out = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(coder->decode(hostile.data(), 40, &out, &length), 0);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(coder->output().data(), nullptr);
  put_textsize(hostile, 0xFFFFFFFFu);
  EXPECT_EQ(coder->decode(hostile.data(), 40, &out, &length), 0);

  // Up to the limit, whatever the bits give is decoded: past the end they are zeros.
  put_textsize(hostile, LZARI::text_limit(40));
  EXPECT_EQ(coder->decode(hostile.data(), 40, &out, &length), 1);
  EXPECT_GE(length, LZARI::text_limit(40));
  EXPECT_LT(length, LZARI::text_limit(40) + LZARI::F);

  // The fixed cap holds for large inputs too.
  bytes large(150000, 0);
  put_textsize(large, LZARI::MAX_TEXT + 1);
  EXPECT_EQ(coder->decode(large.data(), uint32_t(large.size()), &out, &length), 0);
}

TEST_F(Lzari, TruncatedStreamStopsAtTextSize) {
  bytes text(3000);
  for (size_t i = 0; i < text.size(); i++) text[i] = static_cast<unsigned char>(i * i >> 3);
  bytes stream = encode(text);
  for (size_t cut : {size_t(4), size_t(5), stream.size() / 2, stream.size() - 1}) {
    bytes part(stream.begin(), stream.begin() + cut);
    int ok = 0;
    bytes back = decode(part, &ok);
    ASSERT_EQ(ok, 1) << cut;
    EXPECT_GE(back.size(), text.size()) << cut;
    EXPECT_LT(back.size(), text.size() + LZARI::F) << cut;
  }
}

}  // namespace
