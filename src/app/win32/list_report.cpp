// The build's report and message boxes on Win32 controls.
#include "app/win32/list_report.h"


#include "assembly/texts.h"
#include "platform/text_win32.h"

namespace zrk::win32 {
namespace {

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring(L"?"));
}

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return MB_ICONERROR;
    case MessageIcon::kQuestion:
      return MB_ICONQUESTION;
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
  }
  return 0;
}

}  // namespace

void ListBoxReport::Clear() { ::SendMessageW(list_, LB_RESETCONTENT, 0, 0); }

void ListBoxReport::AddLine(const std::string& line) {
  const std::wstring text = Wide(line);
  ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::int16_t ListBoxReport::LineCount() const {
  const LRESULT count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
  return ClampedLineCount(count);
}

void ListBoxReport::SetSelectedIndex(std::int16_t index) {
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::UpdateWindow(list_);
}

MessageAnswer Win32MessageBoxes::Show(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
  const std::wstring wide_text = Wide(text);
  const std::wstring title = Wide(texts::kApplicationTitle);
  const UINT style = IconStyle(icon) | (buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK) |
                     MB_TASKMODAL | MB_SETFOREGROUND;
  const int answer = ::MessageBoxW(nullptr, wide_text.c_str(), title.c_str(), style);
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  return answer == IDYES ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace zrk::win32
