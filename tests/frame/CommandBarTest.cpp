// The flat command bar on the main window: the popup's frame as it shows on
// the screen, and the bar's keyboard mode. The checks run from a timer
// inside the menu loop, which then closes the menu.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "UiTestSupport.h"
#include "engine/Engine.h"
#include "support/win32/DisplayCommands.h"
#include "ui/MainFrm.h"
#include "ui/framework/AppModule.h"

namespace {

constexpr UINT_PTR kCheckTimer = 0x7A01;
constexpr UINT_PTR kStepTimer = 0x7A02;
constexpr UINT kCheckPeriod = 20;  // ms
constexpr int kMaxChecks = 150;    // 3 s for the menu to show

// Called on every tick while a menu is open, with the open popup (or null);
// true ends the menu.
std::function<bool(HWND)> g_check;
int g_ticks = 0;

// The visible popup menu, if any (hidden ones may come first).
HWND OpenPopup() {
  for (HWND popup = FindWindowW(L"#32768", nullptr); popup;
       popup = FindWindowExW(nullptr, popup, L"#32768", nullptr)) {
    if (IsWindowVisible(popup)) return popup;
  }
  return nullptr;
}

void CALLBACK OnCheckTimer(HWND hWnd, UINT, UINT_PTR id, DWORD) {
  if (!g_check || g_check(OpenPopup()) || ++g_ticks >= kMaxChecks) {
    KillTimer(hWnd, id);
    EndMenu();
  }
}

// What the bar showed after each step of the pointer and the keys: the open
// popup (null when none), the hot button and the pressed one (-1: none).
struct CBarState {
  HMENU popup;
  int hot;
  int pressed;
  std::vector<UINT> commands;  // of the popup's items
};
struct CPointerRun {
  HWND bar = nullptr;
  const testing_support::CDisplayCommands* xdotool = nullptr;
  std::chrono::steady_clock::time_point deadline;
  std::vector<CBarState> afterStep;
};
CPointerRun g_run;

void CALLBACK OnStepTimer(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = OpenPopup();
  CBarState state{popup ? reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr,
                  static_cast<int>(::SendMessageW(g_run.bar, TB_GETHOTITEM, 0, 0)), -1, {}};
  for (int i = 0; state.popup && i < GetMenuItemCount(state.popup); ++i)
    state.commands.push_back(GetMenuItemID(state.popup, i));
  const auto count = static_cast<int>(::SendMessageW(g_run.bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    ::SendMessageW(g_run.bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (button.fsState & TBSTATE_PRESSED) state.pressed = i;
  }
  while (g_run.afterStep.size() < g_run.xdotool->StepsDone()) g_run.afterStep.push_back(state);
  // A popup left open when the steps are done would hold the test forever.
  if (popup && (g_run.xdotool->Done() || std::chrono::steady_clock::now() > g_run.deadline))
    EndMenu();
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
    // Away from the screen's corner, where the bar's client coordinates and
    // the screen's differ by only a few pixels.
    m_frame.SetWindowPos(nullptr, 160, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
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
  // The centre of bar button index on the screen.
  POINT ButtonCentre(int index) {
    RECT rect{};
    ::SendMessageW(m_frame.m_CmdBar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(m_frame.m_CmdBar, &centre);
    return centre;
  }
  HMENU Popup(int index) { return GetSubMenu(m_frame.m_CmdBar.GetMenu(), index); }
  // Runs the program's loop while xdotool takes the steps, each followed by
  // a pause for the program to follow; the bar's popups open inside it.
  std::vector<CBarState> RunSteps(std::vector<std::string> steps) {
    for (std::string& step : steps) step = "xdotool " + step;
    testing_support::CDisplayCommands xdotool(steps);
    EXPECT_TRUE(xdotool.Started());
    g_run = CPointerRun{};
    g_run.bar = m_frame.m_CmdBar;
    g_run.xdotool = &xdotool;
    g_run.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    SetTimer(m_frame, kStepTimer, kCheckPeriod, &OnStepTimer);
    while (g_run.afterStep.size() < steps.size() &&
           std::chrono::steady_clock::now() < g_run.deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (GetAppModule().GetMessageLoop()->PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    KillTimer(m_frame, kStepTimer);
    EXPECT_EQ(g_run.afterStep.size(), steps.size()) << "xdotool did not finish";
    return g_run.afterStep;
  }

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

// The pointer, as a person moves it: a click opens "Список", moving onto
// "Рассылка" switches to its popup, a click on "Рассылка" closes it and
// leaves the bar idle. The pointer then rests on "Рассылка", which may light
// up as a hovered button does; "Список" must not stay lit.
TEST_F(CommandBarTest, PointerSwitchesPopupsAndTheOpenPopupsButtonClosesIt) {
  using testing_support::MouseMoveTo;
  const POINT first = ButtonCentre(0);
  const POINT second = ButtonCentre(1);
  const std::vector<CBarState> states = RunSteps({
      MouseMoveTo(first) + "sleep 0.2 click 1",
      MouseMoveTo({(first.x + second.x) / 2, first.y}) + "sleep 0.1 " + MouseMoveTo(second),
      "click 1",
  });
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(states[0].popup, Popup(0));
  EXPECT_EQ(states[1].popup, Popup(1)) << "hovering did not switch";
  EXPECT_EQ(states[1].pressed, 1);
  EXPECT_EQ(states[2].popup, nullptr) << "the button's click did not close its popup";
  EXPECT_EQ(states[2].pressed, -1);
  EXPECT_NE(states[2].hot, 0);
  EXPECT_FALSE(m_frame.m_CmdBar.HasKeyboard());
}

// A popup opened by a click, then Right: the button under the pointer keeps
// no hot look while the next popup is open, and the resting pointer does not
// take the popup back.
TEST_F(CommandBarTest, RightFromAClickedPopupLeavesNoStaleHotButton) {
  const std::vector<CBarState> states = RunSteps({
      testing_support::MouseMoveTo(ButtonCentre(0)) + "sleep 0.2 click 1",
      "key Right",
      "key Escape",
  });
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(states[0].popup, Popup(0));
  EXPECT_EQ(states[1].popup, Popup(1));
  EXPECT_NE(states[1].hot, 0);
  EXPECT_EQ(states[2].popup, nullptr);
}

// A right click in the list, Shift+F10 and the context-menu key open the
// "Phones" popup of menu 128, the sending of unconfirmed numbers after a
// separator.
TEST_F(CommandBarTest, ListContextMenuOffersThePhonesCommands) {
  RECT list{};
  m_frame.m_list.GetWindowRect(&list);
  const POINT inside{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
  const std::vector<CBarState> states = RunSteps({
      testing_support::MouseMoveTo(inside) + "click 3", "key Escape",
      "key shift+F10", "key Escape",
      "key Menu", "key Escape",
  });
  ASSERT_EQ(states.size(), 6u);
  const std::vector<UINT> phones{ID_LIST_CLEAR,    ID_LIST_OPEN, ID_LIST_ADD,
                                 ID_LIST_GENERATE, 0,            ID_DELIVERY_RESEND_UNCONFIRMED};
  for (size_t i = 0; i < states.size(); i += 2) {
    EXPECT_EQ(states[i].commands, phones) << "step " << i;
    EXPECT_EQ(states[i + 1].popup, nullptr) << "step " << i + 1;
  }
}

}  // namespace
