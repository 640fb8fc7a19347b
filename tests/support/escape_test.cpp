// Tests of how names from files, packages and the disk are shown: one line, nothing that drives a
// terminal, whatever bytes they hold.
#include "support/escape.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace zrk {
namespace {

struct EscapeRow {
  const char* name;
  std::string text;
  std::string printable;
  std::string json;
};
const EscapeRow kEscapeRows[] = {
    {"plain and Cyrillic text stays", "img\\фон.bmp  [ok]", "img\\фон.bmp  [ok]",
     "\"img\\\\фон.bmp  [ok]\""},
    {"C0 controls and DEL", "a\tb\nc\x1b\x7f", "a\\tb\\nc\\x1b\\x7f",
     "\"a\\tb\\nc\\u001b\\u007f\""},
    {"C1 controls", "a\u0085b\u009f", "a\\u0085b\\u009f", "\"a\\u0085b\\u009f\""},
    {"other two-byte characters stay", "\u00a9\u00a0", "\u00a9\u00a0", "\"\u00a9\u00a0\""},
    {"bytes that are no UTF-8", "a\xc2 \xcf\xf0", "a\\xc2 \\xcf\\xf0",
     "\"a\\ufffd \\ufffd\\ufffd\""},
};

class EscapeTest : public ::testing::TestWithParam<EscapeRow> {};
INSTANTIATE_TEST_SUITE_P(, EscapeTest, ::testing::ValuesIn(kEscapeRows),
                         zrk::testing::NameOfRow<EscapeRow>);

TEST_P(EscapeTest, ShowsNamesOnOneLineAndAsValidJson) {
  EXPECT_EQ(GetParam().printable, Printable(GetParam().text));
  EXPECT_EQ(GetParam().json, JsonString(GetParam().text));
}

}  // namespace
}  // namespace zrk
