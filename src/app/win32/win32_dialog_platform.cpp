// File dialogs through comdlg32's ANSI functions, with the record's hook as the dialog's hook;
// the folder dialog through the shell's.
#include "app/win32/win32_dialog_platform.h"

#include <windows.h>
#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "app/window_texts.h"
#include "platform/text_win32.h"

namespace zrk::app {
namespace {

using platform::AnsiToUtf8;
using platform::Utf8ToAnsi;

// The record of the ANSI dialogs as the system first defined it, without the three members that
// later versions append; lStructSize tells the system which one it gets.
static_assert(sizeof(OPENFILENAME_NT4A) == kDialogRecordSize);

// The hook of the dialog being shown. Dialogs are modal and shown on one thread, so one at a time
// is under way there; a dialog opened from inside a hook saves and restores the outer one.
thread_local DialogHookProc g_active_hook = nullptr;

UINT_PTR CALLBACK HookProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (g_active_hook == nullptr) return 0;
  return static_cast<UINT_PTR>(
      g_active_hook(reinterpret_cast<WindowHandle>(window), message, w_param, l_param));
}

// ANSI text of a member that may be absent; absent, or without an ANSI form, gives the system's
// null.
struct AnsiText {
  std::optional<std::string> text;
  const char* get() const { return text ? text->c_str() : nullptr; }
};

AnsiText Ansi(const std::optional<std::string>& utf8) {
  if (!utf8) return {};
  return {Utf8ToAnsi(*utf8)};
}

// A buffer of max_chars bytes holding the text of a NUL-filled UTF-8 buffer in ANSI, NUL-filled.
std::string AnsiBuffer(const std::string& utf8_buffer, std::uint32_t max_chars) {
  std::string buffer = Utf8ToAnsi(BufferText(utf8_buffer)).value_or(std::string());
  if (buffer.size() >= max_chars) buffer.clear();
  buffer.resize(max_chars, '\0');
  return buffer;
}

std::int32_t Show(DialogRecord& record, bool save) {
  // The filter list keeps its NULs: each description and pattern is converted in place.
  const std::string filter = Utf8ToAnsi(record.filter).value_or(std::string(2, '\0'));
  std::string file = AnsiBuffer(record.file, record.max_file);
  std::string file_title = AnsiBuffer(record.file_title, record.max_file_title);
  const AnsiText initial_dir = Ansi(record.initial_dir);
  const AnsiText title = Ansi(record.title);
  const AnsiText default_ext = Ansi(record.default_ext);

  OPENFILENAME_NT4A ofn{};
  ofn.lStructSize = record.struct_size;
  ofn.hwndOwner = reinterpret_cast<HWND>(record.owner);
  // The portable record leaves the module to the platform; this program is the module.
  ofn.hInstance = record.instance != 0 ? reinterpret_cast<HINSTANCE>(record.instance)
                                       : ::GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = record.filter_index;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrFileTitle = file_title.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(file_title.size());
  ofn.lpstrInitialDir = initial_dir.get();
  ofn.lpstrTitle = title.get();
  ofn.Flags = record.flags;
  ofn.nFileOffset = record.file_offset;
  ofn.nFileExtension = record.file_extension;
  ofn.lpstrDefExt = default_ext.get();
  ofn.lCustData = static_cast<LPARAM>(record.cust_data);
  ofn.lpfnHook = record.hook != nullptr ? &HookProcedure : nullptr;

  const DialogHookProc outer_hook = g_active_hook;
  g_active_hook = record.hook;
  auto* system_record = reinterpret_cast<OPENFILENAMEA*>(&ofn);
  const BOOL result = save ? ::GetSaveFileNameA(system_record) : ::GetOpenFileNameA(system_record);
  g_active_hook = outer_hook;

  record.flags = ofn.Flags;
  record.filter_index = ofn.nFilterIndex;
  record.file_offset = ofn.nFileOffset;
  record.file_extension = ofn.nFileExtension;
  if (!result) return 0;
  // A name the record cannot hold would leave the old name there, taken for the chosen one.
  const bool stored =
      StoreInBuffer(record.file, record.max_file, AnsiToUtf8(BufferText(file))) &&
      StoreInBuffer(record.file_title, record.max_file_title, AnsiToUtf8(BufferText(file_title)));
  return stored ? 1 : 0;
}

// What the folder dialog is told once it is shown: its caption and the folder it starts in.
struct FolderDialogStart {
  std::wstring caption, folder;
};

int CALLBACK FolderDialogEvent(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message != BFFM_INITIALIZED) return 0;
  const auto* start = reinterpret_cast<const FolderDialogStart*>(data);
  ::SetWindowTextW(dialog, start->caption.c_str());
  if (!start->folder.empty()) {
    ::SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(start->folder.c_str()));
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                   reinterpret_cast<LPARAM>(start->folder.c_str()));
  }
  return 0;
}

}  // namespace

std::string ChooseFolderInDialog(HWND owner, const std::string& start) {
  // The dialog of the new style is an OLE client of the thread.
  const HRESULT ole = ::OleInitialize(nullptr);
  FolderDialogStart shown{platform::Utf8ToWide(window_texts::kChooseFolderCaption).value_or(L""),
                          platform::Utf8ToWide(start).value_or(L"")};
  // The shell selects "C:\dir", not "C:\dir\"; a drive's root keeps its backslash.
  if (shown.folder.size() > 3 && shown.folder.back() == L'\\') shown.folder.pop_back();
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = shown.caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = &FolderDialogEvent;
  info.lParam = reinterpret_cast<LPARAM>(&shown);
  std::string folder;
  if (const PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info)) {
    std::wstring path(32768, L'\0');
    if (::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()),
                                GPFIDL_DEFAULT)) {
      folder = platform::WideToUtf8(path.c_str());
    }
    ::CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return folder;
}

std::int32_t Win32DialogPlatform::ShowOpenDialog(DialogRecord& record) {
  return Show(record, false);
}

std::int32_t Win32DialogPlatform::ShowSaveDialog(DialogRecord& record) {
  return Show(record, true);
}

}  // namespace zrk::app
