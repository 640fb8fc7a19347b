// Our INI reader beside the system's (GetPrivateProfileStringA, through ReadProfileValue as every
// build calls it) on the worked cases, each written to disk and read by both. Wine stands in for
// Windows here; where it is known to answer otherwise than Windows, its own answer is expected of
// it, while our reader keeps Windows' answer (profile_reader_test.cpp).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp1251.h"
#include "platform/profile_api.h"
#include "platform/profile_cases.h"
#include "test_util.h"

namespace zrk::platform {
namespace {

using zrk::testing::ProfileCase;

// The rows whose answer Windows (or Wine) gives: each is one test, named after the row.
std::vector<ProfileCase> ComparedCases() {
  std::vector<ProfileCase> cases = zrk::testing::ProfileCases();
  std::erase_if(cases, [](const ProfileCase& c) { return c.ours_only; });
  return cases;
}

using ProfileDifferential = ::testing::TestWithParam<ProfileCase>;
INSTANTIATE_TEST_SUITE_P(, ProfileDifferential, ::testing::ValuesIn(ComparedCases()),
                         zrk::testing::NameOfRow<ProfileCase>);

TEST_P(ProfileDifferential, OurReaderAndTheSystemsAgree) {
  ASSERT_EQ(1251u, ::GetACP()) << "run the Windows tests with LC_ALL=ru_RU.UTF-8 under Wine";
  const ProfileCase& c = GetParam();
  zrk::testing::TempDir dir;
  // The folder's name is ASCII, so its narrow form is the same in every code page.
  const std::string path = dir.path().string() + "\\case.ini";
  if (c.file) zrk::testing::WriteFile(path, *c.file);
  const std::string section = Cp1251ToUtf8(c.section), key = Cp1251ToUtf8(c.key);
  const std::string ours = ProfileValue(Profile::Load(path), section, key);
  EXPECT_EQ(c.wine ? Cp1251ToUtf8(*c.wine) : ours, ReadProfileValue(path, section, key, ""));
}

}  // namespace
}  // namespace zrk::platform
