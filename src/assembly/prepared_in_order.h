// PreparedInOrder: the look-ups of a list of files done on a second thread, ahead of the thread
// that uses their results one by one in the list's order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zrk {

/// Runs prepare(i) exactly once for every i below count, on a helper thread and on the caller's,
/// never more than `ahead` items past the one the caller waits for. The caller takes the items in
/// the list's order with WaitFor; when the helper falls behind, the caller prepares the next
/// items itself, so a slow or missing helper never costs more than doing the work in order.
/// Each call of prepare touches only its own item's results; what it throws, WaitFor throws for
/// that item, where working alone the caller would have met it.
class PreparedInOrder {
 public:
  using Prepare = std::function<void(std::size_t index)>;

  /// skin_folder: the folder the helper looks files up from, as the caller's SkinLookupScope
  /// does. No helper is started for a short list, on one core, or when no thread can be had.
  PreparedInOrder(std::size_t count, std::size_t ahead, const std::string& skin_folder,
                  Prepare prepare);
  /// Waits for the helper to finish the item it is on.
  ~PreparedInOrder();
  PreparedInOrder(const PreparedInOrder&) = delete;
  PreparedInOrder& operator=(const PreparedInOrder&) = delete;

  /// Returns once prepare(index) has run, or throws what it threw. Indexes come in increasing
  /// order; every item before index is then the caller's alone.
  void WaitFor(std::size_t index);

  /// Lets the helper run further ahead from now on (never less far).
  void Widen(std::size_t ahead);

 private:
  // Claims the next item when it is within reach of the one the caller waits for and prepares it,
  // the lock released meanwhile; false when there is none to claim.
  bool PrepareNext(std::unique_lock<std::mutex>& lock);
  void Prepared(std::size_t index, std::exception_ptr failure, std::unique_lock<std::mutex>& lock);
  void RunHelper(const std::string& skin_folder);

  const std::size_t count_;
  const Prepare prepare_;
  std::mutex mutex_;
  std::condition_variable caller_wakes_, helper_wakes_;
  std::vector<bool> done_;
  std::vector<std::exception_ptr> failed_;  // what preparing each item threw
  std::size_t next_ = 0;                    // the first item nobody has claimed
  std::size_t waiting_for_ = 0;             // the item the caller waits for, or took last
  std::size_t ahead_;
  bool caller_waits_ = false, helper_waits_ = false, stop_ = false;
  std::thread helper_;  // last: started once everything above is ready
};

}  // namespace zrk
