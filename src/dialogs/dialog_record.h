// The dialog record: the portable form of the OPENFILENAME record that describes one file dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/window_operations.h"

namespace zrk {

/// The record's size as Windows' first ANSI OPENFILENAME (OPENFILENAME_NT4A) gives it: 136 bytes
/// in a 64-bit Windows program, whose pointers and handles are twice as wide; elsewhere the
/// 32-bit program's 76.
#ifdef _WIN64
inline constexpr std::uint32_t kDialogRecordSize = 136;
#else
inline constexpr std::uint32_t kDialogRecordSize = 76;
#endif

/// Length in characters of the file and title buffers, the terminating NUL included.
inline constexpr std::size_t kDialogBufferChars = 260;

/// Flags: an Explorer-style dialog, a dialog that calls the record's hook, and a save dialog that
/// asks before it names an existing file.
inline constexpr std::uint32_t kOfnExplorer = 0x00080000;
inline constexpr std::uint32_t kOfnEnableHook = 0x00000020;
inline constexpr std::uint32_t kOfnOverwritePrompt = 0x00000002;

/// The message the hook receives once the dialog exists and before the user works with it.
inline constexpr std::uint32_t kWmInitDialog = 0x0110;

/// A hook procedure: called with the hook's window (a child of the dialog's frame), the message
/// and its two parameters. Its result is returned to the dialog.
using DialogHookProc = std::int32_t (*)(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t w_param, std::intptr_t l_param);

/// Everything a dialog platform needs to show one file dialog, and what it writes back. Text is
/// UTF-8; "characters" are code points. An empty optional is a member the platform must treat as
/// absent (the platform's null).
struct DialogRecord {
  std::uint32_t struct_size = 0;  // lStructSize
  WindowHandle owner = 0;         // hwndOwner
  std::uintptr_t instance = 0;    // hInstance
  std::string filter;             // lpstrFilter: NUL-separated pairs, two NULs at the end
  std::optional<std::string> custom_filter;  // lpstrCustomFilter
  std::uint32_t max_custom_filter = 0;       // nMaxCustFilter
  std::uint32_t filter_index = 0;            // nFilterIndex: 1-based; 0 selects the first filter
  std::string file;                          // lpstrFile: file name, NUL-filled to max_file
  std::uint32_t max_file = 0;                // nMaxFile
  std::string file_title;                    // lpstrFileTitle: NUL-filled to max_file_title
  std::uint32_t max_file_title = 0;          // nMaxFileTitle
  std::string initial_dir;                   // lpstrInitialDir
  std::optional<std::string> title;          // lpstrTitle: absent gives the platform's title
  std::uint32_t flags = 0;                   // Flags
  std::uint16_t file_offset = 0;             // nFileOffset: where the name starts in file
  std::uint16_t file_extension = 0;          // nFileExtension: where the extension starts
  std::optional<std::string> default_ext;    // lpstrDefExt
  std::intptr_t cust_data = 0;               // lCustData
  DialogHookProc hook = nullptr;             // lpfnHook
  std::optional<std::string> template_name;  // lpTemplateName
};

/// Number of characters (code points) in UTF-8 text; a malformed byte counts as one character.
std::size_t CountCharacters(std::string_view utf8);

/// The text of a NUL-filled buffer: everything before its first NUL, or the whole buffer when it
/// has none.
std::string BufferText(std::string_view buffer);

/// Writes text and a terminating NUL into buffer, NUL-filled to max_chars characters. Returns
/// false and leaves buffer unchanged when text and its NUL do not fit in max_chars.
bool StoreInBuffer(std::string& buffer, std::uint32_t max_chars, std::string_view text);

/// One entry of a filter list: what the user reads, and the patterns (";"-separated) it applies.
struct FilterItem {
  std::string description;
  std::string pattern;
};

/// Reads a NUL-separated filter list as the platform does: strings up to the first empty one,
/// taken in description/pattern pairs; a description without a pattern is dropped.
std::vector<FilterItem> ParseFilterList(std::string_view list);

}  // namespace zrk
