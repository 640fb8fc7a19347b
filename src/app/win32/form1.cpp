// Form1 on Win32: window class, controls at their twips, colours, focus and the click handlers.
#include "app/win32/form1.h"

#include <shellapi.h>

#include <optional>
#include <utility>

#include "app/win32/list_report.h"
#include "app/win32/win32_message_boxes.h"
#include "app/window_actions.h"
#include "app/window_texts.h"
#include "assembly/texts.h"
#include "dialogs/file_dialog_platform.h"
#include "dialogs/mdlCdlg.h"
#include "platform/native_path.h"
#include "platform/text_win32.h"

namespace zrk::app {
namespace {

constexpr wchar_t kWindowClass[] = L"ZrkBuilderForm1";
constexpr int kIconResource = 1;

// Control identifiers. None is IDOK or IDCANCEL, so Enter and Esc, which the dialog navigation
// turns into those two, press no button: neither button is the default or the cancel button.
constexpr int kLabel1Id = 101;
constexpr int kCommand1Id = 102;
constexpr int kList1Id = 103;
// Posted to the window to build the project OpenProjectSoon was given.
constexpr UINT kOpenProjectMessage = WM_APP + 1;
constexpr int kCommand2Id = 104;
constexpr int kLabel2Id = 105;

// The window's client area and its controls in twips (1440 to the inch).
constexpr int kClientWidth = 4485;
constexpr int kClientHeight = 2655;
// Label1 is 3735 twips wide and three lines high, and so reaches under the Browse button and the
// report. Its text wraps in the room left of the button and above the report instead.
constexpr RECT kLabel1Room = {120, 120, 3300, 600};

const COLORREF kReportText = RGB(0, 255, 0);
const COLORREF kReportBackground = RGB(64, 64, 64);
constexpr int kReportPoints = 9;
constexpr BYTE kCyrillicCharset = RUSSIAN_CHARSET;  // 204

std::wstring Wide(std::string_view utf8) {
  return platform::Utf8ToWide(utf8).value_or(std::wstring());
}

// The font the system uses for message boxes: what a window of this system shows by default.
LOGFONTW DefaultFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  return font;
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

Form1::Form1(MessageBoxes* boxes) : boxes_(boxes) {
  if (boxes_ == nullptr) {
    own_boxes_ = std::make_unique<Win32MessageBoxes>();
    boxes_ = own_boxes_.get();
  }
}

Form1::~Form1() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(window_font_), static_cast<HGDIOBJ>(label1_font_),
                         static_cast<HGDIOBJ>(report_font_), static_cast<HGDIOBJ>(report_brush_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
}

int Form1::X(int twips) const { return ::MulDiv(twips, dpi_x_, 1440); }
int Form1::Y(int twips) const { return ::MulDiv(twips, dpi_y_, 1440); }

bool Form1::Create(HINSTANCE instance, int show_command) {
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

  // A fixed single border: a caption with the system menu and a minimise button, no sizing.
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
  RECT frame = {0, 0, X(kClientWidth), Y(kClientHeight)};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;

  const std::wstring caption = Wide(texts::kApplicationTitle);
  hwnd_ = ::CreateWindowExW(kExStyle, kWindowClass, caption.c_str(), kStyle, left, top, width,
                            height, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) return false;
  CreateControls(instance);
  ::ShowWindow(hwnd_, show_command);
  ::UpdateWindow(hwnd_);
  ::SetFocus(Command1);
  // A project file dropped from Explorer starts its build, as Browse would.
  ::DragAcceptFiles(hwnd_, TRUE);
  return true;
}

HWND Form1::CreateControl(HINSTANCE instance, const wchar_t* window_class, std::string_view text,
                          DWORD style, DWORD ex_style, int left, int top, int width, int height,
                          int id) {
  const std::wstring wide = Wide(text);
  const HWND control =
      ::CreateWindowExW(ex_style, window_class, wide.c_str(), WS_CHILD | WS_VISIBLE | style,
                        X(left), Y(top), X(width), Y(height), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(window_font_), FALSE);
  return control;
}

void Form1::CreateControls(HINSTANCE instance) {
  LOGFONTW font = DefaultFont();
  window_font_ = ::CreateFontIndirectW(&font);

  LOGFONTW report{};
  report.lfHeight = -::MulDiv(kReportPoints, dpi_y_, 72);
  report.lfWeight = FW_NORMAL;
  report.lfCharSet = kCyrillicCharset;
  report.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  ::lstrcpynW(report.lfFaceName, L"Courier New", LF_FACESIZE);
  report_font_ = ::CreateFontIndirectW(&report);
  report_brush_ = ::CreateSolidBrush(kReportBackground);

  // Created in tab order, which is also the order the dialog navigation moves the focus in:
  // Browse, the report, Exit. The labels never take the focus.
  Command1 = CreateControl(instance, L"BUTTON", window_texts::kBrowseCaption,
                           WS_TABSTOP | BS_PUSHBUTTON, 0, 3360, 120, 975, 375, kCommand1Id);
  List1 = CreateControl(instance, L"LISTBOX", "",
                        WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                        WS_EX_CLIENTEDGE, 120, 600, 4215, 1380, kList1Id);
  ::SendMessageW(List1, WM_SETFONT, reinterpret_cast<WPARAM>(report_font_), FALSE);
  Command2 = CreateControl(instance, L"BUTTON", window_texts::kExitCaption,
                           WS_TABSTOP | BS_PUSHBUTTON, 0, 3360, 2160, 975, 375, kCommand2Id);
  Label1 = CreateControl(instance, L"STATIC", window_texts::kInstruction, SS_LEFT | SS_NOPREFIX, 0,
                         kLabel1Room.left, kLabel1Room.top, kLabel1Room.right - kLabel1Room.left,
                         kLabel1Room.bottom - kLabel1Room.top, kLabel1Id);
  FitLabel1();
  Label2 = CreateControl(instance, L"STATIC", window_texts::kRightsNotice, SS_LEFT | SS_NOPREFIX, 0,
                         120, 2160, 2130, 195, kLabel2Id);

  Line1[0] = {120, 2040, 4320, 2040, COLOR_BTNSHADOW};
  Line1[1] = {165, 2055, 4325, 2055, COLOR_BTNHIGHLIGHT};
  last_focus_ = Command1;
}

void Form1::FitLabel1() {
  // The instruction needs three lines at the narrow fonts the window was drawn for, and may need
  // more at a larger system font: the font shrinks, half a point at a time, until it fits.
  RECT box{};
  ::GetClientRect(Label1, &box);
  const std::wstring text = Wide(window_texts::kInstruction);
  LOGFONTW font = DefaultFont();
  const int smallest = -::MulDiv(13, dpi_y_, 144);  // 6.5 points
  const HDC dc = ::GetDC(Label1);
  while (true) {
    const HFONT candidate = ::CreateFontIndirectW(&font);
    const HGDIOBJ previous = ::SelectObject(dc, candidate);
    RECT needed = box;
    ::DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    if (needed.bottom <= box.bottom || font.lfHeight >= smallest) {
      label1_font_ = candidate;
      break;
    }
    ::DeleteObject(candidate);
    font.lfHeight += 1;
  }
  ::ReleaseDC(Label1, dc);
  ::SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(label1_font_), FALSE);
}

void Form1::PaintLines(HDC dc) const {
  for (const Line& line : Line1) {
    const RECT rect = {X(line.x1), Y(line.y1), X(line.x2), Y(line.y2) + 1};
    ::FillRect(dc, &rect, ::GetSysColorBrush(line.colour));
  }
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

LRESULT Form1::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
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
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(hwnd_, &paint);
      PaintLines(dc);
      ::EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the control that had it.
      if (LOWORD(w_param) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) last_focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (last_focus_ != nullptr) ::SetFocus(last_focus_);
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(w_param));
      return 0;
    case kOpenProjectMessage:
      OpenProject(std::exchange(project_to_open_, {}));
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

void Form1::OpenProjectSoon(const std::string& project_path) {
  project_to_open_ = project_path;
  ::PostMessageW(hwnd_, kOpenProjectMessage, 0, 0);
}

void Form1::OpenProject(const std::string& project_path) {
  // A second message posted before the first was handled finds the project already taken.
  if (project_path.empty()) return;
  OpenAndBuild(busy_, project_path, [this](const std::string& path) { BuildPackage(path); });
}

void Form1::DropFiles(HDROP drop) {
  // One project file, on an idle window; anything else is left alone.
  std::wstring name;
  if (!busy_ && ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    name.resize(::DragQueryFileW(drop, 0, nullptr, 0));
    ::DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size() + 1));
  }
  ::DragFinish(drop);
  const std::string path = platform::WideToUtf8(name);
  if (path.size() < 4 || platform::FoldCase(path.substr(path.size() - 4)) != ".zrp") return;
  // The drop ends before the build starts, so that Explorer is not kept waiting.
  OpenProjectSoon(path);
}

void Form1::Command2_Click() {
  if (busy_) return;
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form1::BuildPackage(const std::string& project_path) {
  // The report shows the lines it has gathered at a human rate, and at once whenever a box or
  // dialog opens; its destructor shows the rest when the build ends.
  ListBoxReport report(List1);
  ReportFirstBoxes boxes(report, *boxes_);
  std::optional<ReportFirstDialogs> dialogs;
  if (FileDialogPlatform* platform = mdlCdlg::DialogPlatform()) dialogs.emplace(report, *platform);
  zrk::BuildPackage(project_path, report, boxes);
}

}  // namespace zrk::app
