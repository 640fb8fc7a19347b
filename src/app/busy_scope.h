// A flag that marks a window busy for as long as one of its click handlers runs.
#pragma once

namespace zrk::app {

/// Sets busy on construction and clears it on destruction, so that every way out of a click
/// handler (a return, an exception) leaves the window idle again.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace zrk::app
