#include "platform/text.h"

#include <gtest/gtest.h>

using namespace platform::text;

namespace {

struct Pair {
  const char* utf8;
  const char* gbk;
};

// GBK bytes written out so the test does not depend on the compiler's execution charset.
const Pair kPairs[] = {
    {"", ""},
    {"abc 123", "abc 123"},
    {"账号", "\xD5\xCB\xBA\xC5"},
    {"Quenbo币", "Quenbo\xB1\xD2"},
    {"圆", "\xD4\xB2"},        // plain two-byte character
    {"誠", "\xD5\x5C"},        // second byte 0x5C, the backslash
    {"€", "\x80"},             // code page 936's single-byte euro sign
};

TEST(GbkText, RoundTripsThroughUtf8AndUtf16) {
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(p.utf8);
    EXPECT_EQ(utf8_to_gbk(p.utf8), p.gbk);
    EXPECT_EQ(gbk_to_utf8(p.gbk), p.utf8);
    std::u16string wide = gbk_to_utf16(p.gbk);
    EXPECT_EQ(utf16_to_gbk(wide), p.gbk);
  }
}

TEST(GbkText, InvalidInputIsReplacedNotTruncated) {
  // 0xFF never starts a GBK character; 0xD5 alone at the end is incomplete.
  EXPECT_EQ(gbk_to_utf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(gbk_to_utf8("ab\xD5"), "ab\xEF\xBF\xBD");
  EXPECT_EQ(utf8_to_gbk("x\xF0\x9F\x98\x80y"), "x?y");  // an emoji has no GBK form
  EXPECT_FALSE(is_valid_gbk("ab\xD5"));
  EXPECT_TRUE(is_valid_gbk("\xD5\xCB\xBA\xC5"));
}

TEST(GbkText, EmbeddedZeroBytesSurvive) {
  std::string gbk("a\0b", 3);
  EXPECT_EQ(gbk_to_utf8(gbk), gbk);
  EXPECT_EQ(gbk_to_utf16(gbk).size(), 3u);
}

}  // namespace
