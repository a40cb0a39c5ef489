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
  const std::pair<const char*, const char*> escaped[] = {
      {"AZaz09@*_+-./", "AZaz09@*_+-./"},
      {"a b'c\\d\r\n\"~%", "a%20b%27c%5Cd%0D%0A%22%7E%25"},
      {"中文é", "%u4E2D%u6587%E9"},
      {"😀", "%uD83D%uDE00"},
      {"", ""}};
  for (auto [text, form] : escaped) EXPECT_EQ(JsEscape(text), form) << text;
  // Unescape takes both forms in either case; a malformed escape stays as it is, and a lone
  // surrogate, which cannot be UTF-8, becomes the replacement character.
  for (const char* form : {"x+y", "100%", "%u4E2", "%uZZZZ%G1%4"}) {
    EXPECT_EQ(JsUnescape(form), form);
  }
  const std::pair<const char*, const char*> unescaped[] = {{"%u4e2d%u6587%e9%41", "中文éA"},
                                                           {"%uD83D%uDE00", "😀"},
                                                           {"%%41", "%A"},
                                                           {"%uD800x", "\uFFFDx"}};
  for (auto [form, text] : unescaped) EXPECT_EQ(JsUnescape(form), text) << form;
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
