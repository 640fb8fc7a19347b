// kelCommonDialog: the reusable file dialog object over the platform's open and save dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dialogs/dialog_error.h"
#include "dialogs/dialog_record.h"

namespace zrk {

/// A file-open and file-save dialog set up through properties. Set OKText, Filter and FileName,
/// call ShowOpen or ShowSave, then read FileName: the chosen full path, or unchanged when the
/// dialog was cancelled. Properties keep their values from one dialog to the next. Text is
/// UTF-8; the 260-character limit counts code points.
class kelCommonDialog {
 public:
  /// Caption of the button that opens or saves; the hook applies it when not empty.
  void SetOKText(const std::string& New_OKText) { ok_text_ = New_OKText; }
  /// See SetOKText.
  std::string OKText() const { return ok_text_; }

  /// Caption of the Cancel button; the hook applies it when not empty.
  void SetCancelText(const std::string& New_CancelText) { cancel_text_ = New_CancelText; }
  /// See SetCancelText.
  std::string CancelText() const { return cancel_text_; }

  /// When true, a dialog that ends without a chosen file throws DialogError kDialogCancelled.
  void SetCancelError(bool vData) { cancel_error_ = vData; }
  /// See SetCancelError.
  bool CancelError() const { return cancel_error_; }

  /// Owner window of the dialog; 0 for none.
  WindowHandle hOwner() const { return owner_; }
  /// See hOwner.
  void SethOwner(WindowHandle New_hOwner) { owner_ = New_hOwner; }

  /// Further dialog flags, combined with the Explorer and hook flags that every dialog carries.
  std::int32_t flags() const { return flags_; }
  /// See flags.
  void Setflags(std::int32_t New_Flags) { flags_ = New_Flags; }

  /// The dialog's title; until it is first set, the platform's own title shows.
  std::string DialogTitle() const { return dialog_title_.value_or(""); }
  /// See DialogTitle.
  void SetDialogTitle(const std::string& sTitle) { dialog_title_ = sTitle; }

  /// Stored and returned; nothing else uses it.
  std::string DialogPrompt() const { return dialog_prompt_; }
  /// See DialogPrompt.
  void SetDialogPrompt(const std::string& New_Prompt) { dialog_prompt_ = New_Prompt; }

  /// Stored and returned; nothing else uses it.
  std::string AppName() const { return app_name_; }
  /// See AppName.
  void SetAppName(const std::string& New_AppName) { app_name_ = New_AppName; }

  /// Default extension handed to the dialog; until it is first set, none is given.
  std::string DefaultExt() const { return default_ext_.value_or(""); }
  /// See DefaultExt.
  void SetDefaultExt(const std::string& sDefExt) { default_ext_ = sDefExt; }

  /// The folder the next dialog opens in; when empty, the program's folder where the user works
  /// there, else the user's home folder.
  std::string InitDir() const { return init_dir_; }
  /// See InitDir.
  void SetInitDir(const std::string& sInitDir) { init_dir_ = sInitDir; }

  /// Before a dialog: the initial file name. After a confirmed dialog: the chosen full path.
  std::string FileName() const { return file_name_; }
  /// See FileName.
  void SetFileName(const std::string& sFileName) { file_name_ = sFileName; }

  /// After a confirmed dialog: the chosen file's name without its folder.
  std::string FileTitle() const { return file_title_; }
  /// See FileTitle.
  void SetFileTitle(const std::string& sTitle) { file_title_ = sTitle; }

  /// Description and pattern items separated by "|": "Description|*.ext|Other|*.a;*.b".
  std::string Filter() const { return filter_; }
  /// See Filter.
  void SetFilter(const std::string& sFilter) { filter_ = sFilter; }

  /// 1-based number of the filter selected when the dialog opens; 0 selects the first.
  std::int32_t FilterIndex() const { return filter_index_; }
  /// See FilterIndex.
  void SetFilterIndex(std::int32_t lIndex) { filter_index_ = lIndex; }

  /// Stored and returned; nothing else uses it.
  std::int32_t Width() const { return width_; }
  /// See Width.
  void SetWidth(std::int32_t New_Width) { width_ = New_Width; }

  /// Stored and returned; nothing else uses it.
  std::int32_t Height() const { return height_; }
  /// See Height.
  void SetHeight(std::int32_t New_Height) { height_ = New_Height; }

  /// Screen x position in pixels of the last dialog, written by the hook.
  std::int32_t Left() const { return left_; }
  /// See Left.
  void SetLeft(std::int32_t New_Left) { left_ = New_Left; }

  /// Screen y position in pixels of the last dialog, written by the hook.
  std::int32_t Top() const { return top_; }
  /// See Top.
  void SetTop(std::int32_t New_Top) { top_ = New_Top; }

  /// Shows the installed platform's file-open dialog and returns once the user has closed it; a
  /// confirmed dialog sets FileName and FileTitle. Throws DialogError kDialogInvalidArgument
  /// (FileName over 260 characters) or kDialogOverflow (Filter of 32,767 characters or more) before
  /// any dialog, and kDialogCancelled after a dialog without a file when CancelError is set.
  void ShowOpen();

  /// As ShowOpen, with the platform's file-save dialog.
  void ShowSave();

 private:
  enum class DialogKind { kOpen, kSave };

  void Show(DialogKind kind);
  void PrepareDialogRecord();

  DialogRecord record_;
  std::string file_name_;
  std::string init_dir_;
  std::string file_title_;
  WindowHandle owner_ = 0;
  std::optional<std::string> dialog_title_;
  std::string filter_;
  std::optional<std::string> default_ext_;
  std::int32_t filter_index_ = 0;
  std::string dialog_prompt_;
  std::int32_t flags_ = 0;
  bool cancel_error_ = false;
  std::string app_name_;
  std::int32_t last_result_ = 0;
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::string ok_text_;
  std::string cancel_text_;
};

}  // namespace zrk
