// Tests of what both windows share: what zrk-builder's arguments ask for, and when a long write
// shows its progress. Browse, what is opened from outside and the report are tested through each
// window (qt/, win32/).
#include "app/window_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_report.h"
#include "test_util.h"

namespace zrk::app {
namespace {

using Request = BuilderArguments::Request;

struct ArgumentsRow {
  const char* name;
  std::vector<std::string> arguments;
  Request request;
  std::string project;     // kWindow
  std::string unexpected;  // kUsageError
};
const ArgumentsRow kArgumentsRows[] = {
    {"none", {}, Request::kWindow, "", ""},
    {"a project", {"skin/config.zrp"}, Request::kWindow, "skin/config.zrp", ""},
    {"help after a project", {"config.zrp", "--help"}, Request::kHelp, "", ""},
    {"short help", {"-h"}, Request::kHelp, "", ""},
    {"version", {"--version", "-x"}, Request::kVersion, "", ""},
    {"unknown option before help", {"-x", "--help"}, Request::kUsageError, "", "-x"},
    {"second project", {"a.zrp", "b.zrp"}, Request::kUsageError, "", "b.zrp"},
    {"double dash ends the options", {"--", "-x.zrp"}, Request::kWindow, "-x.zrp", ""},
    {"help after double dash is a name", {"--", "--help"}, Request::kWindow, "--help", ""},
    {"second name after double dash", {"a.zrp", "--", "-b"}, Request::kUsageError, "", "-b"},
#ifdef _WIN32
    {"slash question mark asks for help", {"/?"}, Request::kHelp, "", ""},
#else
    {"slash question mark names a file", {"/?"}, Request::kWindow, "/?", ""},
#endif
};

class BuilderArgumentsTest : public ::testing::TestWithParam<ArgumentsRow> {};
INSTANTIATE_TEST_SUITE_P(, BuilderArgumentsTest, ::testing::ValuesIn(kArgumentsRows),
                         zrk::testing::NameOfRow<ArgumentsRow>);

TEST_P(BuilderArgumentsTest, AskForWhatTheFirstDecidingArgumentSays) {
  const ArgumentsRow& row = GetParam();
  const BuilderArguments read = ReadBuilderArguments(row.arguments);
  EXPECT_EQ(row.request, read.request);
  EXPECT_EQ(row.project, read.project);
  EXPECT_EQ(row.unexpected, read.unexpected);
}

// Nothing in a write's first second, then at most one showing every kPace.
TEST(ProgressPace, WaitsASecondThenKeepsAHumanRate) {
  using namespace std::chrono_literals;
  ProgressPace pace;
  const ProgressPace::Clock::time_point start{};
  EXPECT_FALSE(pace.Due(start));
  EXPECT_FALSE(pace.Due(start + 999ms));
  EXPECT_TRUE(pace.Due(start + 1s));
  EXPECT_FALSE(pace.Due(start + 1s + 99ms));
  EXPECT_TRUE(pace.Due(start + 1s + 100ms));
}

}  // namespace
}  // namespace zrk::app
