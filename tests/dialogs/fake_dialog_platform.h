// A scripted file dialog for tests of the code that shows dialogs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dialogs/mdlCdlg.h"

namespace zrk::testing {

/// A file dialog that records every call and answers through a script (the default cancels);
/// installed for its lifetime, the platform before it restored afterwards.
class FakeDialogPlatform : public FileDialogPlatform {
 public:
  FakeDialogPlatform() : previous_(mdlCdlg::SetDialogPlatform(this)) {}
  ~FakeDialogPlatform() override { mdlCdlg::SetDialogPlatform(previous_); }
  FakeDialogPlatform(const FakeDialogPlatform&) = delete;
  FakeDialogPlatform& operator=(const FakeDialogPlatform&) = delete;

  std::int32_t ShowOpenDialog(DialogRecord& record) override { return Run("open", record); }
  std::int32_t ShowSaveDialog(DialogRecord& record) override { return Run("save", record); }

  std::function<std::int32_t(DialogRecord&)> answer = [](DialogRecord&) { return 0; };
  std::vector<std::string> calls;  // "open" or "save", in call order
  DialogRecord seen;               // the record as the last dialog received it

 private:
  std::int32_t Run(const char* kind, DialogRecord& record) {
    calls.emplace_back(kind);
    seen = record;
    return answer(record);
  }
  FileDialogPlatform* previous_;
};

}  // namespace zrk::testing
