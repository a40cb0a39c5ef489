#include <gtest/gtest.h>

#include "core/JsEscape.h"

namespace lumora {
namespace {

TEST(JsEscapeTest, MatchesTheScriptFunction) {
  EXPECT_EQ(JsEscape("AZaz09@*_+-./"), "AZaz09@*_+-./");
  EXPECT_EQ(JsEscape("a b'c\\d\r\n\"~%"), "a%20b%27c%5Cd%0D%0A%22%7E%25");
  EXPECT_EQ(JsEscape("中文é"), "%u4E2D%u6587%E9");
  EXPECT_EQ(JsEscape("😀"), "%uD83D%uDE00");
  EXPECT_EQ(JsEscape(""), "");
}

// Both forms in either case; a malformed escape stays as it is.
TEST(JsEscapeTest, UnescapeTakesBothFormsInEitherCaseAndLeavesMalformedOnes) {
  EXPECT_EQ(JsUnescape("%u4e2d%u6587%e9%41"), "中文éA");
  EXPECT_EQ(JsUnescape("%uD83D%uDE00"), "😀");
  EXPECT_EQ(JsUnescape("x+y"), "x+y");
  EXPECT_EQ(JsUnescape("100%"), "100%");
  EXPECT_EQ(JsUnescape("%u4E2"), "%u4E2");
  EXPECT_EQ(JsUnescape("%uZZZZ%G1%4"), "%uZZZZ%G1%4");
  EXPECT_EQ(JsUnescape("%%41"), "%A");
  // A lone surrogate cannot be UTF-8; it becomes the replacement character.
  EXPECT_EQ(JsUnescape("%uD800x"), "\uFFFDx");
}

TEST(JsEscapeTest, RoundTripsAnyText) {
  for (std::string text :
       {"it's a \\ test\r\nline", "中文 电影-第1集", "%u4E2D literally", "😀&&&$"}) {
    EXPECT_EQ(JsUnescape(JsEscape(text)), text) << text;
  }
}

}  // namespace
}  // namespace lumora
