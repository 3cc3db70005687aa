// The flat command bar on the main window: the popup's frame as it shows on
// the screen, and the bar's keyboard mode. The checks run from a timer
// inside the menu loop, which then closes the menu.
#include <gtest/gtest.h>

#include <functional>

#include "UiTestSupport.h"
#include "engine/Engine.h"
#include "ui/MainFrm.h"
#include "ui/framework/AppModule.h"

namespace {

constexpr UINT_PTR kCheckTimer = 0x7A01;
constexpr UINT kCheckPeriod = 20;  // ms
constexpr int kMaxChecks = 150;    // 3 s for the menu to show

// Called on every tick while a menu is open, with the open popup (or null);
// true ends the menu.
std::function<bool(HWND)> g_check;
int g_ticks = 0;

HWND OpenPopup() {
  HWND popup = FindWindowW(L"#32768", nullptr);
  return popup && IsWindowVisible(popup) ? popup : nullptr;
}

void CALLBACK OnCheckTimer(HWND hWnd, UINT, UINT_PTR id, DWORD) {
  if (!g_check || g_check(OpenPopup()) || ++g_ticks >= kMaxChecks) {
    KillTimer(hWnd, id);
    EndMenu();
  }
}

// One row of the popup's window as it is on the screen.
struct CScreenRow {
  HWND popup;
  int y;
  COLORREF At(int x) const {
    RECT rect{};
    GetWindowRect(popup, &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.left + x, rect.top + y);
    ReleaseDC(nullptr, screen);
    return colour;
  }
};

int PopupWidth(HWND popup) {
  RECT rect{};
  GetWindowRect(popup, &rect);
  return rect.right - rect.left;
}

class CommandBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetEngine().ClearList();
    ASSERT_NE(m_frame.CreateMainWindow(), nullptr);
    m_frame.ShowWindow(SW_SHOW);
    m_frame.UpdateWindow();
    ui_test::PumpMessages();
    g_ticks = 0;
  }
  void TearDown() override {
    g_check = nullptr;
    if (m_frame.IsWindow()) ::DestroyWindow(m_frame);
    ui_test::PumpMessages();
  }

  // Arms the check for the next menu loop.
  void CheckInMenu(std::function<bool(HWND)> check) {
    g_check = std::move(check);
    SetTimer(m_frame, kCheckTimer, kCheckPeriod, &OnCheckTimer);
  }
  // Posted to the focused window and run through the message filters, as
  // the program's loop does.
  void Key(UINT message, WPARAM key) {
    HWND target = ::GetFocus() ? ::GetFocus() : m_frame.m_hWnd;
    ::PostMessageW(target, message, key, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (GetAppModule().GetMessageLoop()->PreTranslateMessage(&msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  int HotButton() { return static_cast<int>(::SendMessageW(m_frame.m_CmdBar, TB_GETHOTITEM, 0, 0)); }

  CMainFrame m_frame;
};

// Once the frame is on the screen (the outline at the left, the image
// column's colour just inside it), the top row is read at the given points.
struct CTopRow {
  bool drawn = false;
  COLORREF inside = 0, middle = 0, lastInside = 0, buttonSide = 0;
  bool Read(HWND popup, int jointWidth) {
    if (!popup) return false;
    const XPSTYLE& xp = CCommandBarXPCtrlBase::m_xpstyle;
    const CScreenRow side{popup, 6};
    if (side.At(0) != xp.clrFrame || side.At(1) != xp.clrButton) return false;
    const CScreenRow top{popup, 0};
    inside = top.At(1);
    middle = top.At(jointWidth / 2);
    lastInside = top.At(jointWidth - 2);
    buttonSide = top.At(jointWidth - 1);
    drawn = true;
    return true;
  }
};

TEST_F(CommandBarTest, PopupOfABarButtonIsOpenUnderItAndAContextMenuIsClosed) {
  RECT button{};
  ::SendMessageW(m_frame.m_CmdBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
  const int jointWidth = button.right - button.left;
  ASSERT_GT(jointWidth, 10);
  const XPSTYLE& xp = CCommandBarXPCtrlBase::m_xpstyle;

  CTopRow bar;
  int barPopupWidth = 0;
  CheckInMenu([&](HWND popup) {
    if (popup) barPopupWidth = PopupWidth(popup);
    return bar.Read(popup, jointWidth);
  });
  m_frame.m_CmdBar.TrackBarPopup(0, false);
  ASSERT_TRUE(bar.drawn) << "the popup's frame never showed";
  ASSERT_GT(barPopupWidth, jointWidth);
  EXPECT_EQ(bar.inside, xp.clrButton);
  EXPECT_EQ(bar.middle, xp.clrButton);
  EXPECT_EQ(bar.lastInside, xp.clrButton);
  EXPECT_EQ(bar.buttonSide, xp.clrFrame);  // the button's right side runs on

  CTopRow context;
  CheckInMenu([&](HWND popup) { return context.Read(popup, jointWidth); });
  POINT at{200, 200};
  ::ClientToScreen(m_frame, &at);
  m_frame.m_CmdBar.TrackPopupMenu(GetSubMenu(m_frame.m_CmdBar.GetMenu(), 0),
                                  TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y);
  ASSERT_TRUE(context.drawn) << "the context menu's frame never showed";
  EXPECT_EQ(context.inside, xp.clrFrame);
  EXPECT_EQ(context.middle, xp.clrFrame);
}

// F10 gives the bar the keyboard on its first button; Right lights the
// second, Down opens its popup with the first item lit. The menu texts
// have no mnemonics, so no letter opens a menu here.
TEST_F(CommandBarTest, F10RightAndDownOpenTheSecondMenu) {
  m_frame.m_edit.SetFocus();
  Key(WM_SYSKEYDOWN, VK_F10);
  ASSERT_TRUE(m_frame.m_CmdBar.HasKeyboard());
  EXPECT_EQ(HotButton(), 0);
  Key(WM_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(HotButton(), 1);

  HMENU second = GetSubMenu(m_frame.m_CmdBar.GetMenu(), 1);
  HMENU shown = nullptr;
  bool firstLit = false;
  CheckInMenu([&](HWND popup) {
    if (!popup) return false;
    shown = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    firstLit = (GetMenuState(shown, 0, MF_BYPOSITION) & MF_HILITE) != 0;
    return firstLit;
  });
  Key(WM_KEYDOWN, VK_DOWN);  // returns when the check has closed the menu
  EXPECT_EQ(shown, second);
  EXPECT_TRUE(firstLit);
  EXPECT_FALSE(m_frame.m_CmdBar.HasKeyboard());
  EXPECT_EQ(::GetFocus(), m_frame.m_edit.m_hWnd);
}

}  // namespace
