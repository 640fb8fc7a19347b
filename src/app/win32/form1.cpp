// Form1 on Win32: the window class, its messages, focus and the click, open and drop handlers.
#include "app/win32/form1.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cctype>
#include <optional>
#include <utility>

#include "app/win32/list_report.h"
#include "app/win32/report_list.h"
#include "app/win32/win32_dialog_platform.h"
#include "app/win32/win32_message_boxes.h"
#include "app/window_actions.h"
#include "app/window_report.h"
#include "assembly/texts.h"
#include "dialogs/file_dialog_platform.h"
#include "dialogs/mdlCdlg.h"
#include "platform/text_win32.h"

namespace zrk::app {
namespace {

constexpr wchar_t kWindowClass[] = L"ZrkBuilderForm1";
constexpr int kIconResource = 1;
// Posted to the window to open what OpenSoon was given.
constexpr UINT kOpenMessage = WM_APP + 1;

const COLORREF kReportText = RGB(0, 255, 0);
const COLORREF kReportBackground = RGB(64, 64, 64);

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring());
}

// Whether name ends in suffix, ASCII letters in either case.
bool EndsWith(const std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[name.size() - suffix.size() + i]);
    if (std::tolower(c) != suffix[i]) return false;
  }
  return true;
}

// The build's message boxes, each shown after the report: the box then sits beside every line and
// the selection as the build has left them, not beside what the report last painted.
class ReportFirstBoxes : public MessageBoxes {
 public:
  ReportFirstBoxes(ListBoxReport& report, MessageBoxes& boxes) : report_(report), boxes_(boxes) {}
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
    report_.Show();
    return boxes_.Show(text, icon, buttons);
  }

 private:
  ListBoxReport& report_;
  MessageBoxes& boxes_;
};

// The same for the file dialogs: installed over the dialog platform for one build, and the
// platform before it put back afterwards.
class ReportFirstDialogs : public FileDialogPlatform {
 public:
  ReportFirstDialogs(ListBoxReport& report, FileDialogPlatform& dialogs)
      : report_(report), dialogs_(dialogs) {
    mdlCdlg::SetDialogPlatform(this);
  }
  ~ReportFirstDialogs() override { mdlCdlg::SetDialogPlatform(&dialogs_); }
  ReportFirstDialogs(const ReportFirstDialogs&) = delete;
  ReportFirstDialogs& operator=(const ReportFirstDialogs&) = delete;

  std::int32_t ShowOpenDialog(DialogRecord& record) override {
    report_.Show();
    return dialogs_.ShowOpenDialog(record);
  }
  std::int32_t ShowSaveDialog(DialogRecord& record) override {
    report_.Show();
    return dialogs_.ShowSaveDialog(record);
  }

 private:
  ListBoxReport& report_;
  FileDialogPlatform& dialogs_;
};

}  // namespace

Form1::Form1(MessageBoxes* boxes)
    : boxes_(boxes), choose_folder_([this](const std::string& start) {
        return ChooseFolderInDialog(hwnd_, start);
      }) {
  if (boxes_ == nullptr) {
    own_boxes_ = std::make_unique<Win32MessageBoxes>();
    boxes_ = own_boxes_.get();
  }
}

Form1::~Form1() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  report_list_.reset();
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(window_font_), static_cast<HGDIOBJ>(label1_font_),
                         static_cast<HGDIOBJ>(report_font_), static_cast<HGDIOBJ>(report_brush_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
}

bool Form1::Create(HINSTANCE instance, int show_command) {
  // The report's tooltip and the progress bar are common controls.
  const INITCOMMONCONTROLSEX common = {sizeof(common), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&common);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &Form1::WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  window_class.hIconSm = static_cast<HICON>(::LoadImageW(
      instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&window_class) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }

  const HDC screen = ::GetDC(nullptr);
  dpi_x_ = ::GetDeviceCaps(screen, LOGPIXELSX);
  dpi_y_ = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);

  // A sizing border, minimise and maximise: the original client area is the first and smallest.
  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
  RECT frame = {0, 0, ClientSize().cx, ClientSize().cy};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  smallest_ = {frame.right - frame.left, frame.bottom - frame.top};
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - smallest_.cx) / 2;
  const int top = work.top + (work.bottom - work.top - smallest_.cy) / 2;

  report_brush_ = ::CreateSolidBrush(kReportBackground);
  const std::wstring caption = Wide(texts::kApplicationTitle);
  hwnd_ = ::CreateWindowExW(kExStyle, kWindowClass, caption.c_str(), kStyle, left, top,
                            smallest_.cx, smallest_.cy, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) return false;
  CreateControls(instance);
  ::ShowWindow(hwnd_, show_command);
  ::UpdateWindow(hwnd_);
  ::SetFocus(Command1);
  // A project, a folder or a package dropped from Explorer is opened, as on the command line.
  ::DragAcceptFiles(hwnd_, TRUE);
  return true;
}

int Form1::Run() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Enter presses the focused button, as Space does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        (message.hwnd == Command1 || message.hwnd == Command2)) {
      ::SendMessageW(message.hwnd, BM_CLICK, 0, 0);
      continue;
    }
    // Tab and the arrow keys move the focus between the controls as in a dialog.
    if (hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(l_param);
    auto* form = static_cast<Form1*>(create->lpCreateParams);
    form->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, w_param, l_param);
  return form->HandleMessage(message, w_param, l_param);
}

// The window's size, painting and focus; true when the message is handled.
bool Form1::HandleFrameMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(l_param)->ptMinTrackSize = {smallest_.cx, smallest_.cy};
      return true;
    case WM_SIZE:
      if (w_param != SIZE_MINIMIZED) PlaceControls();
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(hwnd_, &paint);
      PaintLines(dc);
      ::EndPaint(hwnd_, &paint);
      return true;
    }
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the control that had it.
      if (LOWORD(w_param) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) last_focus_ = focus;
      }
      return false;
    case WM_SETFOCUS:
      if (last_focus_ != nullptr) ::SetFocus(last_focus_);
      return true;
    default:
      return false;
  }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (HandleFrameMessage(message, w_param, l_param)) return 0;
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(w_param) == BN_CLICKED) {
        if (LOWORD(w_param) == kCommand1Id) Command1_Click();
        if (LOWORD(w_param) == kCommand2Id) Command2_Click();
      }
      return 0;
    case WM_CTLCOLORLISTBOX:
      if (reinterpret_cast<HWND>(l_param) == List1) {
        const HDC dc = reinterpret_cast<HDC>(w_param);
        ::SetTextColor(dc, kReportText);
        ::SetBkColor(dc, kReportBackground);
        return reinterpret_cast<LRESULT>(report_brush_);
      }
      break;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(w_param));
      return 0;
    case kOpenMessage:
      Open(std::exchange(to_open_, {}));
      return 0;
    case WM_CLOSE:
      // A running build still owns the report and the shared dialog: the window stays until it
      // ends.
      if (busy_) return 0;
      ::DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, w_param, l_param);
}

void Form1::Command1_Click() {
  BrowseAndBuild(busy_, *boxes_, [this](const std::string& path) { BuildPackage(path); });
}

void Form1::Command2_Click() {
  if (busy_) return;
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form1::Open(const std::string& given) {
  // A second message posted before the first was handled finds nothing left to open.
  if (given.empty()) return;
  OpenGiven(
      busy_, given, *boxes_, [this](const std::string& project) { BuildPackage(project); },
      [this](const std::string& package) { ShowPackage(package); });
}

void Form1::OpenSoon(const std::string& given) {
  to_open_ = given;
  ::PostMessageW(hwnd_, kOpenMessage, 0, 0);
}

void Form1::DropFiles(HDROP drop) {
  // One file or folder, on an idle window.
  std::wstring name;
  if (!busy_ && ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    name.resize(::DragQueryFileW(drop, 0, nullptr, 0));
    ::DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size() + 1));
  }
  ::DragFinish(drop);
  if (name.empty()) return;
  // A project, a package or a folder; anything else is left alone.
  const std::string path = platform::WideToUtf8(name);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!folder && !EndsWith(path, ".zrp") && !EndsWith(path, texts::kPackageExtension)) return;
  // The drop ends before the build starts, so that Explorer is not kept waiting.
  OpenSoon(path);
}

void Form1::BuildPackage(const std::string& project_path) {
  // The report shows the lines it has gathered at a human rate, and at once whenever a box or
  // dialog opens; its destructor shows the rest when the build ends.
  ListBoxReport list(*report_list_, Progress());
  WindowBuildReport report(list, project_path);
  ReportFirstBoxes boxes(list, *boxes_);
  std::optional<ReportFirstDialogs> dialogs;
  if (FileDialogPlatform* platform = mdlCdlg::DialogPlatform()) dialogs.emplace(list, *platform);
  zrk::BuildPackage(project_path, report, boxes);
}

void Form1::ShowPackage(const std::string& package_path) {
  ListBoxReport list(*report_list_, Progress());
  ReportFirstBoxes boxes(list, *boxes_);
  app::ShowPackage(package_path, list, boxes, [this, &list](const std::string& start) {
    list.Show();
    return choose_folder_(start);
  });
}

}  // namespace zrk::app
