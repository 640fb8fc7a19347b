// Two threads share one list's look-ups: items are claimed in order under one lock, prepared with
// no lock held, and the caller is woken only for the item it waits for.
#include "assembly/prepared_in_order.h"

#include <system_error>
#include <utility>

#include "platform/native_path.h"

namespace zrk {
namespace {

// Below this many items a second thread costs more to start than it saves.
constexpr std::size_t kItemsWorthAHelper = 64;

}  // namespace

PreparedInOrder::PreparedInOrder(std::size_t count, std::size_t ahead,
                                 const std::string& skin_folder, Prepare prepare)
    : count_(count),
      prepare_(std::move(prepare)),
      done_(count),
      failed_(count),
      ahead_(ahead == 0 ? 1 : ahead) {
  if (count < kItemsWorthAHelper || std::thread::hardware_concurrency() < 2) return;
  try {
    helper_ = std::thread([this, skin_folder] { RunHelper(skin_folder); });
  } catch (const std::system_error&) {
    // No thread to be had: the caller does all the work, in order, as it would alone.
  }
}

PreparedInOrder::~PreparedInOrder() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  helper_wakes_.notify_one();
  if (helper_.joinable()) helper_.join();
}

bool PreparedInOrder::PrepareNext(std::unique_lock<std::mutex>& lock) {
  if (next_ >= count_ || next_ >= waiting_for_ + ahead_) return false;
  const std::size_t claimed = next_++;
  lock.unlock();
  std::exception_ptr failure;
  try {
    prepare_(claimed);
  } catch (...) {
    failure = std::current_exception();  // thrown on the caller's thread, in the item's turn
  }
  Prepared(claimed, std::move(failure), lock);
  return true;
}

void PreparedInOrder::Prepared(std::size_t index, std::exception_ptr failure,
                               std::unique_lock<std::mutex>& lock) {
  lock.lock();
  done_[index] = true;
  failed_[index] = std::move(failure);
  if (caller_waits_ && index == waiting_for_) caller_wakes_.notify_one();
}

void PreparedInOrder::WaitFor(std::size_t index) {
  std::unique_lock<std::mutex> lock(mutex_);
  waiting_for_ = index;
  // The helper may have stopped at the old limit of its reach.
  if (helper_waits_) helper_wakes_.notify_one();
  while (!done_[index]) {
    if (PrepareNext(lock)) continue;
    caller_waits_ = true;
    caller_wakes_.wait(lock);
    caller_waits_ = false;
  }
  if (failed_[index]) std::rethrow_exception(std::exchange(failed_[index], nullptr));
}

void PreparedInOrder::Widen(std::size_t ahead) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (ahead <= ahead_) return;
    ahead_ = ahead;
  }
  helper_wakes_.notify_one();
}

void PreparedInOrder::RunHelper(const std::string& skin_folder) {
  // The helper looks files up from the skin folder as the build's own thread does.
  const platform::SkinLookupScope lookups(skin_folder);
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_ && next_ < count_) {
    if (PrepareNext(lock)) continue;
    helper_waits_ = true;
    helper_wakes_.wait(lock);
    helper_waits_ = false;
  }
}

}  // namespace zrk
