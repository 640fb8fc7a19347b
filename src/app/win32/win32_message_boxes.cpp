// The build's message boxes as system message boxes.
#include "app/win32/win32_message_boxes.h"

#include <string>

#include "assembly/texts.h"
#include "platform/text_win32.h"

namespace zrk::app {
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

}  // namespace zrk::app
