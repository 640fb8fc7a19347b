// Regression tests of the support helpers, each named after the fault it guards against.
#include <gtest/gtest.h>

#include <string>

#include "support/mdlMain.h"
#include "test_util.h"

namespace {

using namespace std::string_literals;

using SupportRegressionTest = zrk::testing::TempDirTest;

// A module value "a.bmp<NUL>x" was reported present because the system only saw "a.bmp"; the
// check passed and the build then failed on the name.
TEST_F(SupportRegressionTest, NameWithNulByteIsNotTheFileBeforeIt) {
  Write("a.bmp", "a");
  EXPECT_TRUE(mdlMain::FileExists(dir_.folder() + "a.bmp"));
  EXPECT_FALSE(mdlMain::FileExists(dir_.folder() + "a.bmp\0.x"s));
  EXPECT_FALSE(mdlMain::FileExists(dir_.folder() + "a.bmp\0"s));
}

}  // namespace
