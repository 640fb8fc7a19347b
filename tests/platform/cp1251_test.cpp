// Tests of the Windows-1251 conversions.
#include "platform/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace zrk::platform {
namespace {

TEST(Cp1251, EveryByteIsItsCharacterAndBack) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(byte, Utf8ToCp1251(Cp1251ToUtf8(byte)).value_or("(none)")) << "byte " << b;
  }
}

// A round trip passes a table with two characters swapped; this compares each byte of the upper
// half with its character. 0x98, which the code page leaves unassigned, stands for U+0098.
TEST(Cp1251, UpperHalfIsTheCodePage) {
  std::string bytes;
  for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  EXPECT_EQ(
      "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏ"
      "ђ‘’“”•–—\xC2\x98™љ›њќћџ"
      "\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї"
      "°±Ііґµ¶·ё№є»јЅѕї"
      "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
      "абвгдежзийклмнопрстуфхцчшщъыьэюя",
      Cp1251ToUtf8(bytes));
}

TEST(Cp1251, EncodingRefusesWhatHasNoForm) {
  const char* kRefused[] = {
      "a漢b",              // no Windows-1251 form
      "\xF0\x9F\x98\x80",  // outside the basic plane
      "abc\xD0",           // sequence cut short at the end
      "\xD0x",             // lead byte without continuation
      "\x80",              // stray continuation byte
      "\xC0\xAF",          // overlong "/"
  };
  for (const char* text : kRefused) {
    EXPECT_FALSE(Utf8ToCp1251(text).has_value()) << ::testing::PrintToString(std::string(text));
  }
  EXPECT_EQ("", Utf8ToCp1251("").value_or("(none)"));
}

TEST(Cp1251, Utf16LeMarksWhatHasNoForm) {
  // "Ая" + U+6F22 + "z" + U+1F600 (a surrogate pair) + "!"
  const std::string kText("\x10\x04\x4F\x04\x22\x6F\x7A\x00\x3D\xD8\x00\xDE\x21\x00", 14);
  EXPECT_EQ("\xC0\xFF?z?!", Utf16LeToCp1251(kText));
  EXPECT_EQ("a", Utf16LeToCp1251(std::string("a\x00\x62", 3)));  // an odd last byte is ignored
  // A lone high surrogate does not swallow the character after it.
  EXPECT_EQ("?b", Utf16LeToCp1251(std::string("\x00\xD8\x62\x00", 4)));
}

}  // namespace
}  // namespace zrk::platform
