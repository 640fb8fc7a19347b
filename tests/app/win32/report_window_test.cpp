// Tests of what the Win32 window's report shows beyond the build's lines, and of the window's
// size, under Wine: the skin's warnings, where a missing file was named, lines read whole and
// copied, the progress of a long write, and the controls' places at any size.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/win32/list_report.h"
#include "app/win32/report_list.h"
#include "form1_harness.h"

namespace zrk::app {
namespace {

std::wstring Clipboard() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return L"(no clipboard)";
  if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

RECT PlaceOf(HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The warnings zrk check gives follow the files' lines, before the verdict; a missing file's
// line shows whole when the pointer rests on it, with where it was named, and the list scrolls
// sideways to its end.
TEST(Win32ReportWindow, WarningsAndWhereAMissingFileWasNamed) {
  Form1Harness h;
  const std::string missing = "img\\a_folder_name_far_too_long_for_the_width_of_the_report\\bg.bmp";
  testing::WriteFile(h.dir.path() / "skin" / "bg.zrm",
                     "[STANDARD]\r\nPicture=" + missing + "\r\nMsk=x.bmp\r\n");
  h.AnswerDialogs();
  h.Click(Form1::kCommand1Id);
  const std::vector<std::string> report = {
      "Создание списка файлов...",
      "Список файлов создан!",
      "Всего в проекте найдено 3 файл(ов)!",
      "Проверка существования файлов...",
      "config.zrp  [ok]",
      "bg.zrm  [ok]",
      missing + "  [err]",
      "предупреждение: bg.zrm [STANDARD] Msk: этот ключ сборщик не читает; возможно, имелся в виду "
      "Mask",
      "Ошибка... Файл не найден..."};
  ASSERT_EQ(report, h.Lines());
  const HWND list = h.Control(Form1::kList1Id);
  const std::wstring tip = platform::Utf8ToWide(report[6]).value() +
                           L"\nНазван в файле bg.zrm, секция [STANDARD], ключ Picture";

  // The pointer rests on the missing file's line.
  ::SendMessageW(list, LB_SETTOPINDEX, 6, 0);
  RECT line{};
  ::SendMessageW(list, LB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&line));
  ::SendMessageW(list, WM_MOUSEHOVER, 0, MAKELPARAM(10, (line.top + line.bottom) / 2));
  const HWND tooltip = ReportList::Of(list)->tooltip();
  wchar_t shown[512] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list;
  tool.lpszText = shown;
  ::SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
  EXPECT_TRUE(::IsWindowVisible(tooltip));
  EXPECT_EQ(tip, shown);
  EXPECT_EQ(platform::Utf8ToWide(report[5]).value(), ReportList::Of(list)->TipOf(5));

  // Wide enough for the line in the list's own font, and wider than the list.
  const HDC dc = ::GetDC(list);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  SIZE text{};
  const std::wstring wide = platform::Utf8ToWide(report[6]).value();
  ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &text);
  ::SelectObject(dc, previous);
  ::ReleaseDC(list, dc);
  RECT client{};
  ::GetClientRect(list, &client);
  const LRESULT extent = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
  EXPECT_GT(extent, text.cx);
  EXPECT_GT(extent, client.right);
}

// The build leaves one line selected; Ctrl+C copies the selected lines in report order, the
// context menu's second item all of them.
TEST(Win32ReportWindow, CopiesSelectedAndAllLines) {
  Form1Harness h;
  const std::string package = h.AnswerDialogs();
  h.Click(Form1::kCommand1Id);
  const HWND list = h.Control(Form1::kList1Id);
  EXPECT_EQ(std::vector<std::string>{ReportWritten(package).back()}, LinesOf(list, true));

  ::SendMessageW(list, LB_SETSEL, FALSE, -1);
  ::SendMessageW(list, LB_SETSEL, TRUE, 4);
  ::SendMessageW(list, LB_SETSEL, TRUE, 0);
  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageW(list, WM_KEYDOWN, 'C', 0);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(L"Создание списка файлов...\r\nconfig.zrp  [ok]", Clipboard());

  const HMENU menu = ReportList::Of(list)->CreateContextMenu();
  std::vector<std::wstring> items;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t item[64] = {};
    ::GetMenuStringW(menu, i, item, 64, MF_BYPOSITION);
    items.push_back(item);
  }
  ::DestroyMenu(menu);
  EXPECT_EQ((std::vector<std::wstring>{L"Копировать\tCtrl+C", L"Копировать все строки"}), items);
  ::SendMessageW(list, WM_COMMAND, ReportList::kCopyAllCommand, 0);
  std::wstring all;
  for (const std::string& line : h.Lines()) {
    all += (all.empty() ? L"" : L"\r\n") + platform::Utf8ToWide(line).value();
  }
  EXPECT_EQ(all, Clipboard());
}

// A long write shows its text and bar in place of the notice, until it is over.
TEST(Win32ReportWindow, ProgressOverTheBottomRow) {
  Form1Harness h;
  const HWND text = h.Control(Form1::kProgressTextId), bar = h.Control(Form1::kProgressBarId);
  const HWND notice = h.Control(Form1::kLabel2Id);
  ListBoxReport report(*ReportList::Of(h.Control(Form1::kList1Id)), {text, bar, notice});
  report.ShowWriteProgress("Запись: 1 из 4 МБ", "img\\a.bmp", 1 << 20, 4 << 20);
  EXPECT_TRUE(::IsWindowVisible(text) && ::IsWindowVisible(bar) && !::IsWindowVisible(notice));
  EXPECT_EQ(0u, TextOf(text).find(L"Запись: 1 из 4 МБ, ")) << platform::WideToUtf8(TextOf(text));
  EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 4 * ::SendMessageW(bar, PBM_GETPOS, 0, 0));
  const RECT text_place = PlaceOf(text), exit_place = PlaceOf(h.Control(Form1::kCommand2Id));
  RECT overlap{};
  EXPECT_FALSE(::IntersectRect(&overlap, &text_place, &exit_place));
  report.HideWriteProgress();
  EXPECT_TRUE(!::IsWindowVisible(text) && !::IsWindowVisible(bar) && ::IsWindowVisible(notice));
}

// The window opens at its original size, its smallest, with each control at its original place
// in twips; larger or maximised, each control keeps its distance to the edges it faces, and the
// report takes the room.
struct SizeRow {
  std::string name;
  SIZE grown;  // added to the window's size; {-1, -1}: maximised
};

class Win32WindowSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(Win32WindowSize, ControlsFollowTheWindowsSize) {
  Form1Harness h;
  const HWND form = h.form.hwnd();
  EXPECT_EQ(WS_THICKFRAME | WS_MAXIMIZEBOX,
            ::GetWindowLongW(form, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  RECT frame{}, client{};
  ::GetWindowRect(form, &frame);
  MINMAXINFO limits{};
  ::SendMessageW(form, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(frame.right - frame.left, limits.ptMinTrackSize.x);
  EXPECT_EQ(frame.bottom - frame.top, limits.ptMinTrackSize.y);
  const SIZE grown = GetParam().grown;
  if (grown.cx < 0) {
    ::ShowWindow(form, SW_MAXIMIZE);
  } else if (grown.cx > 0) {
    ::SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left + grown.cx,
                   frame.bottom - frame.top + grown.cy, SWP_NOMOVE | SWP_NOZORDER);
  }
  const HDC screen = ::GetDC(nullptr);
  const int dpi_x = ::GetDeviceCaps(screen, LOGPIXELSX),
            dpi_y = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  const auto x = [dpi_x](int twips) { return ::MulDiv(twips, dpi_x, 1440); };
  const auto y = [dpi_y](int twips) { return ::MulDiv(twips, dpi_y, 1440); };
  ::GetClientRect(form, &client);
  const int dx = client.right - x(4485), dy = client.bottom - y(2655);
  EXPECT_TRUE(grown.cx == 0 ? dx == 0 && dy == 0 : dx > 0 && dy > 0) << dx << "x" << dy;

  struct Place {
    int id, left, top, width, height;
    bool move_x, move_y, grow_x, grow_y;
  };
  const Place places[] = {
      {Form1::kLabel1Id, 120, 120, 3180, 480, false, false, true, false},
      {Form1::kCommand1Id, 3360, 120, 975, 375, true, false, false, false},
      {Form1::kList1Id, 120, 600, 4215, 1380, false, false, true, true},
      {Form1::kCommand2Id, 3360, 2160, 975, 375, true, true, false, false},
      {Form1::kLabel2Id, 120, 2160, 2130, 195, false, true, false, false},
      {Form1::kProgressTextId, 120, 2100, 3120, 240, false, true, true, false},
      {Form1::kProgressBarId, 120, 2370, 3120, 180, false, true, true, false},
  };
  for (const Place& place : places) {
    const RECT actual = PlaceOf(h.Control(place.id));
    const int left = x(place.left) + (place.move_x ? dx : 0);
    const int top = y(place.top) + (place.move_y ? dy : 0);
    EXPECT_EQ((std::vector<LONG>{left, top, left + x(place.width) + (place.grow_x ? dx : 0),
                                 top + y(place.height) + (place.grow_y ? dy : 0)}),
              (std::vector<LONG>{actual.left, actual.top, actual.right, actual.bottom}))
        << place.id;
  }
}

INSTANTIATE_TEST_SUITE_P(Win32ReportWindow, Win32WindowSize,
                         ::testing::Values(SizeRow{"original size", {0, 0}},
                                           SizeRow{"larger", {341, 303}},
                                           SizeRow{"maximised", {-1, -1}}),
                         testing::NameOfRow<SizeRow>);

}  // namespace
}  // namespace zrk::app
