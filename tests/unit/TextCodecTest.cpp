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

// Each address as the desktop gets it, or nothing when it must not leave the program.
TEST(WebAddressTest, OnlyHttpAndHttpsReachTheDesktopAsParsedUrisInTheirNormalForm) {
  using Opened = std::optional<std::string>;
  const std::pair<const char*, Opened> addresses[] = {
      {"http://a/", "http://a/"},
      {"HTTPS://Example.COM/Path?Q=A#F", "https://example.com/Path?Q=A#F"},
      {"http://user:pw@Host:8080/x", "http://user:pw@host:8080/x"},
      {"http://a@b@c/", "http://a%40b@c/"},
      {"http://[::1]:80/", "http://[::1]:80/"},
      {"http://h:/", "http://h:/"},
      // Characters a URI does not allow are encoded; escapes already there stay as written.
      {"http://x/a b`c", "http://x/a%20b%60c"},
      {"http://x/?q=\"<>{}|\\^[]#a#b", "http://x/?q=%22%3C%3E%7B%7D%7C%5C%5E%5B%5D#a%23b"},
      {"http://x/中?%7e%7E", "http://x/%E4%B8%AD?%7e%7E"},
      {"http://A%4b.Com b/", "http://a%4b.com%20b/"},
      // Control characters, no host, a bad port, a bad escape: dropped.
      {"http://x/\r\nfile:///etc/passwd", std::nullopt},
      {"http://x/\x7F", std::nullopt},
      {"http:///etc/passwd", std::nullopt},
      {"http://:80/", std::nullopt},
      {"https://?q", std::nullopt},
      {"http://x:65536/", std::nullopt},
      {"http://x:8a/", std::nullopt},
      {"http://[::1/", std::nullopt},
      {"http://x/100%", std::nullopt},
      {"http://x/%G1", std::nullopt},
      // Anything but http and https.
      {"file:///etc/passwd", std::nullopt},
      {"javascript:alert(1)", std::nullopt},
      {"javascript://x/%0Aalert(1)", std::nullopt},
      {" http://lead-blank/", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [address, opened] : addresses) {
    headless::HeadlessDesktop desktop;
    EXPECT_EQ(OpenWebAddress(desktop, address), opened.has_value()) << address;
    EXPECT_EQ(IsWebAddress(address), opened.has_value()) << address;
    EXPECT_EQ(desktop.OpenedAddresses(), opened ? std::vector{*opened} : std::vector<std::string>{})
        << address;
  }
}

}  // namespace
}  // namespace lumora
