// Tests of PreparedInOrder: every item prepared once, in reach of the caller, with and without the
// helper thread, and the helper let further ahead.
#include "assembly/prepared_in_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "test_util.h"

namespace zrk {
namespace {

// A list's length and how far ahead it may be prepared; a helper starts from 64 items on.
struct List {
  const char* name;
  std::size_t count, ahead;
};

using PreparedInOrderList = ::testing::TestWithParam<List>;
INSTANTIATE_TEST_SUITE_P(, PreparedInOrderList,
                         ::testing::Values(List{"empty list", 0, 8}, List{"one item", 1, 8},
                                           List{"one short of a helper", 63, 8},
                                           List{"just enough for a helper", 64, 8},
                                           List{"long list", 5000, 32},
                                           List{"nothing ahead asked, one given", 5000, 0}),
                         testing::NameOfRow<List>);

// The caller takes every item, then half of them and leaves: each item taken was prepared once
// before WaitFor returned, none twice, and none more than `ahead` past the one waited for.
TEST_P(PreparedInOrderList, PreparesEachItemOnceWithinReach) {
  const List& list = GetParam();
  const std::size_t reach = std::max<std::size_t>(list.ahead, 1);
  for (const std::size_t taken : {list.count, list.count / 2}) {
    std::vector<std::atomic<int>> calls(list.count);
    std::mutex mutex;
    std::size_t waited = 0, farthest = 0, missing = 0;
    {
      PreparedInOrder prepared(list.count, list.ahead, "", [&](std::size_t i) {
        calls[i].fetch_add(1);
        const std::lock_guard<std::mutex> lock(mutex);
        if (i > waited) farthest = std::max(farthest, i - waited);
      });
      for (std::size_t i = 0; i < taken; ++i) {
        {
          const std::lock_guard<std::mutex> lock(mutex);
          waited = i;
        }
        prepared.WaitFor(i);
        if (calls[i].load() != 1) ++missing;
        std::this_thread::yield();  // a slower caller lets the helper run ahead
      }
    }  // joins a helper that may be in the middle of an item past `taken`
    EXPECT_EQ(0u, missing) << "taken " << taken;
    EXPECT_GT(reach, farthest) << "taken " << taken;
    std::size_t twice = 0, skipped = 0;
    for (std::size_t i = 0; i < list.count; ++i) {
      if (calls[i].load() > 1) ++twice;
      if (i < taken && calls[i].load() == 0) ++skipped;
    }
    EXPECT_EQ(0u, twice) << "taken " << taken;
    EXPECT_EQ(0u, skipped) << "taken " << taken;
  }
}

// With nobody waiting, the helper prepares the first `ahead` items and stops there; Widen lets
// it go on, and a smaller width later never pulls it back.
TEST(PreparedInOrder, WidenLetsTheHelperRunFurtherAhead) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: no helper is started";
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t count = 0, highest = 0;  // with no item twice, items 0 to highest
  PreparedInOrder prepared(1000, 4, "", [&](std::size_t i) {
    const std::lock_guard<std::mutex> lock(mutex);
    ++count;
    highest = std::max(highest, i);
    changed.notify_all();
  });
  using Progress = std::pair<std::size_t, std::size_t>;  // items prepared, the highest one
  // The deadline only ends a test whose helper never comes; a working one is done at once.
  const auto reaches = [&](std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), [&] { return count >= n; });
  };
  const auto state = [&] {
    const std::lock_guard<std::mutex> lock(mutex);
    return Progress(count, highest);
  };

  ASSERT_TRUE(reaches(4));
  EXPECT_EQ(Progress(4, 3), state());
  prepared.Widen(100);
  ASSERT_TRUE(reaches(100));
  EXPECT_EQ(Progress(100, 99), state());
  prepared.Widen(10);
  prepared.WaitFor(1);
  ASSERT_TRUE(reaches(101));
  EXPECT_EQ(Progress(101, 100), state());
}

// What preparing an item threw comes out of WaitFor for that item, whichever thread prepared it,
// and only there: the items before it are taken as prepared.
TEST(PreparedInOrder, ThrowsAFailureAtItsItem) {
  PreparedInOrder prepared(200, 16, "", [](std::size_t i) {
    if (i == 150) throw std::runtime_error("item 150");
  });
  for (std::size_t i = 0; i < 150; ++i) prepared.WaitFor(i);
  EXPECT_THROW(
      {
        try {
          prepared.WaitFor(150);
        } catch (const std::runtime_error& error) {
          EXPECT_STREQ("item 150", error.what());
          throw;
        }
      },
      std::runtime_error);
}

}  // namespace
}  // namespace zrk
