#include <gtest/gtest.h>

#include "core/JsEscape.h"
#include "core/TextCodec.h"
#include "core/WebAddress.h"
#include "platform/headless/HeadlessDesktop.h"

namespace lumora {
namespace {

TEST(TextCodecTest, GbkAndUtf16ConvertChineseTextAndPairsAndReplaceWhatTheyCannotConvert) {
  EXPECT_EQ(Utf8ToGbk("abc影视"), "abc\xD3\xB0\xCA\xD3");
  EXPECT_EQ(GbkToUtf8("a\xFFz\xD3"), "a\uFFFDz\uFFFD");
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("a\xC3(b"), "a?(b");
  EXPECT_EQ(Utf8ToUtf16("a😀"), std::u16string(u"a\xD83D\xDE00"));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(u"\xFFFD\xFFFD"));
  EXPECT_EQ(Utf16ToUtf8(u"\xDE00z"), "\uFFFDz");
}

TEST(JsEscapeTest, EscapeMatchesTheScriptFunctionAndUnescapeTakesBothFormsInEitherCase) {
  EXPECT_EQ(JsEscape("AZaz09@*_+-./"), "AZaz09@*_+-./");
  EXPECT_EQ(JsEscape("a b'c\\d\r\n\"~%"), "a%20b%27c%5Cd%0D%0A%22%7E%25");
  EXPECT_EQ(JsEscape("中文é"), "%u4E2D%u6587%E9");
  EXPECT_EQ(JsEscape("😀"), "%uD83D%uDE00");
  EXPECT_EQ(JsEscape(""), "");
  // Unescape takes both forms in either case; a malformed escape stays as it is.
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

TEST(WebAddressTest, OnlyHttpAndHttpsReachTheDesktop) {
  headless::HeadlessDesktop desktop;
  for (const char* address : {"http://a/", "HTTPS://b/x?y", "Http://c"}) {
    EXPECT_TRUE(OpenWebAddress(desktop, address)) << address;
  }
  for (const char* address : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)",
                              "mailto:a@b", "http:/x", "https:", " http://lead-blank/", ""}) {
    EXPECT_FALSE(OpenWebAddress(desktop, address)) << address;
  }
  EXPECT_EQ(desktop.OpenedAddresses(),
            (std::vector<std::string>{"http://a/", "HTTPS://b/x?y", "Http://c"}));
}

}  // namespace
}  // namespace lumora
