// mdlCdlg: the shared dialog object, the file dialog hook and the platforms the dialogs run on.
#pragma once

#include <cstdint>

#include "dialogs/file_dialog_platform.h"
#include "dialogs/kel_common_dialog.h"
#include "dialogs/window_operations.h"

namespace mdlCdlg {

/// The program's one dialog object, created on first use and kept until the program ends.
zrk::kelCommonDialog& SharedDialog();

/// The frame window of the dialog being set up, as CenterDialog last found it; 0 before the first
/// dialog.
zrk::WindowHandle hDialogFrame();

/// The hook of every file dialog: at kWmInitDialog it centres the dialog and relabels its
/// buttons (CenterDialog, then SetButtonCaptions). Does nothing for other messages; always
/// returns 0.
std::int32_t FileDialogHook(zrk::WindowHandle window, std::uint32_t message, std::uintptr_t w_param,
                            std::intptr_t l_param);

/// Makes the parent of window the current frame (hDialogFrame), stores the centred position in
/// SharedDialog's Left and Top and moves the frame there, keeping its size. Positions round
/// halves to even and may be negative for a frame larger than the screen.
void CenterDialog(zrk::WindowHandle window);

/// Sets the frame's OK and Cancel captions to SharedDialog's OKText and CancelText, each only
/// when not empty. Works on hDialogFrame; window is not used.
void SetButtonCaptions(zrk::WindowHandle window);

/// Installs the platform that ShowOpen and ShowSave show their dialogs on (nullptr for none: every
/// dialog then ends as cancelled). Returns the platform installed before. Not owned.
zrk::FileDialogPlatform* SetDialogPlatform(zrk::FileDialogPlatform* platform);

/// The installed dialog platform, or nullptr.
zrk::FileDialogPlatform* DialogPlatform();

/// Installs the window operations the hook uses (nullptr for none: every window is then
/// unknown and the screen measures 0 by 0). Returns the operations installed before. Not owned.
zrk::WindowOperations* SetWindowOperations(zrk::WindowOperations* operations);

}  // namespace mdlCdlg
