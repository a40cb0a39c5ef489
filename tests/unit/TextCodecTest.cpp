#include <gtest/gtest.h>

#include "core/TextCodec.h"

namespace lumora {
namespace {

TEST(TextCodecTest, GbkRoundTripsChineseTextAndReplacesWhatItCannotConvert) {
  EXPECT_EQ(Utf8ToGbk("abc影视"), "abc\xD3\xB0\xCA\xD3");
  EXPECT_EQ(GbkToUtf8("abc\xD3\xB0\xCA\xD3"), "abc影视");
  EXPECT_EQ(GbkToUtf8("a\xFFz\xD3"), "a\uFFFDz\uFFFD");
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("a\xC3(b"), "a?(b");
}

TEST(TextCodecTest, DoubleByteTest) {
  EXPECT_TRUE(IsDoubleByteInGbk(U'中'));
  EXPECT_TRUE(IsDoubleByteInGbk(U'·'));
  EXPECT_FALSE(IsDoubleByteInGbk(U'a'));
  EXPECT_FALSE(IsDoubleByteInGbk(U'😀'));
}

TEST(TextCodecTest, Utf16KeepsSurrogatePairsAndReplacesBrokenInput) {
  EXPECT_EQ(Utf8ToUtf16("a😀"), std::u16string(u"a\xD83D\xDE00"));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(u"\xFFFD\xFFFD"));
  EXPECT_EQ(Utf16ToUtf8(u"\xDE00z"), "\uFFFDz");
}

}  // namespace
}  // namespace lumora
