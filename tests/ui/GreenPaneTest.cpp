#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "UiTestSupport.h"
#include "support/TempDir.h"
#include "ui/GreenPane.h"
#include "ui/VarnekEditView.h"
#include "ui/VarnekListView.h"

namespace {

constexpr COLORREF kBack = RGB(0, 128, 0);
constexpr int kWidth = 300;
constexpr int kHeight = 120;
// The band's green levels on rows 1..15 with a title of height 15.
constexpr int kBandLevels[] = {255, 243, 231, 219, 206, 194, 182, 169, 157, 145, 141, 164, 187, 210, 233};

struct PaneWithClient {
  explicit PaneWithClient(const char* title) {
    pane.Create(parent, nullptr, nullptr);
    if (title) pane.SetTitle(title);
    client = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, pane, nullptr,
                             nullptr, nullptr);
    pane.SetClient(client);
    pane.MoveWindow(0, 0, kWidth, kHeight);
  }
  RECT ClientRectInPane() const {
    RECT rect{};
    GetWindowRect(client, &rect);
    MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  ui_test::CTestParent parent;
  CGreenPane pane;
  HWND client = nullptr;
};

void ExpectRect(const RECT& rect, int left, int top, int right, int bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

}  // namespace

TEST(GreenPane, BandShowsTheGradientBetweenPlainGreenRowsAndMargins) {
  PaneWithClient p("Список");
  const ui_test::CPixels shot = ui_test::PrintWindowPixels(p.pane);
  ASSERT_EQ(shot.width, kWidth);
  const int x = kWidth - 3;  // right of any title text
  for (int row = 1; row <= 15; ++row)
    EXPECT_EQ(shot.At(x, row), RGB(0, kBandLevels[row - 1], 0)) << "row " << row;
  for (int px : {0, kWidth / 2, kWidth - 1}) {
    EXPECT_EQ(shot.At(px, 0), kBack) << "row 0, x " << px;
    EXPECT_EQ(shot.At(px, 16), kBack) << "row 16, x " << px;
    EXPECT_EQ(shot.At(px, kHeight - 1), kBack) << "bottom margin, x " << px;
  }
  for (int row : {1, 8, 15, 40, kHeight - 2}) {
    EXPECT_EQ(shot.At(0, row), kBack) << "left column, row " << row;
    EXPECT_EQ(shot.At(kWidth - 1, row), kBack) << "right column, row " << row;
  }
  // The title is drawn in white somewhere in the band.
  bool white = false;
  for (int row = 1; row <= 15 && !white; ++row)
    for (int col = 2; col < 60 && !white; ++col) white = shot.At(col, row) == RGB(255, 255, 255);
  EXPECT_TRUE(white);
  }

TEST(GreenPane, ClientSitsOnePixelInsideOrBelowTheBand) {
  PaneWithClient plain(nullptr);
  ExpectRect(plain.ClientRectInPane(), 1, 1, kWidth - 1, kHeight - 1);
  const ui_test::CPixels shot = ui_test::PrintWindowPixels(plain.pane);
  EXPECT_EQ(shot.At(kWidth / 2, 1), kBack) << "no band without a title";
  EXPECT_EQ(shot.At(kWidth - 3, 5), kBack);

  PaneWithClient titled("Текст");
  ExpectRect(titled.ClientRectInPane(), 1, 17, kWidth - 1, kHeight - 1);
}

TEST(GreenPane, ResizeBeforeSetClientMovesNothingAndTheNextOnePlacesIt) {
  ui_test::CTestParent parent;
  CGreenPane pane;
  pane.Create(parent, nullptr, nullptr);
  HWND client = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 6, 10, 10, pane,
                                nullptr, nullptr, nullptr);
  pane.MoveWindow(0, 0, 100, 50);
  RECT rect{};
  GetWindowRect(client, &rect);
  MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&rect), 2);
  ExpectRect(rect, 5, 6, 15, 16);
  pane.SetClient(client);
  pane.MoveWindow(0, 0, 100, 60);
  GetWindowRect(client, &rect);
  MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&rect), 2);
  ExpectRect(rect, 1, 1, 99, 59);
}

TEST(GreenPane, LongTitleKeeps99Bytes) {
  CGreenPane pane;
  const std::string title(120, 'x');
  pane.SetTitle(title.c_str());
  EXPECT_EQ(std::strlen(pane.m_szTitle), 99u);
  EXPECT_EQ(std::string(pane.m_szTitle), title.substr(0, 99));
  EXPECT_EQ(pane.m_cyTitle, 15);
  pane.SetTitle("Текст - 5");
  EXPECT_STREQ(pane.m_szTitle, "Текст - 5");
}

TEST(GreenPane, ChildNotificationsReachTheParentUnchanged) {
  PaneWithClient p("Список");
  p.parent.m_answer = 1234;
  NMHDR header{p.client, 7, NM_CLICK};
  const LRESULT notified = SendMessageW(p.pane, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(notified, 1234);
  EXPECT_EQ(p.parent.m_message, static_cast<UINT>(WM_NOTIFY));
  EXPECT_EQ(p.parent.m_wParam, 7u);
  EXPECT_EQ(p.parent.m_lParam, reinterpret_cast<LPARAM>(&header));

  p.parent.m_answer = 0;
  const WPARAM change = MAKEWPARAM(1, EN_CHANGE);
  SendMessageW(p.pane, WM_COMMAND, change, reinterpret_cast<LPARAM>(p.client));
  EXPECT_EQ(p.parent.m_message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(p.parent.m_wParam, change);
  EXPECT_EQ(p.parent.m_lParam, reinterpret_cast<LPARAM>(p.client));

  const int before = p.parent.m_count;
  SendMessageW(p.pane, WM_USER + 5, 1, 2);
  EXPECT_EQ(p.parent.m_count, before) << "other messages stay with the pane";
}

// The two panes as the main window holds them: the list above, the editor
// below; typing in the editor reaches the panes' parent as EN_CHANGE.
TEST(GreenPane, ListAndEditorPanesPassTheEditorsChangeUp) {
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  CEngine engine;
  const char* numbers[] = {"79161234567", "79161234568", "79161234569"};
  const DeliveryState states[] = {Sent, Sending, Accepted};
  for (int i = 0; i < 3; ++i) engine.m_items.push_back({numbers[i], states[i], i == 0 ? "Иванов" : ""});

  ui_test::CTestParent parent(420, 320);
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  CGreenPane listPane, textPane;
  listPane.Create(parent, nullptr, nullptr, kChild);
  textPane.Create(parent, nullptr, nullptr, kChild);
  listPane.SetTitle("Список");
  textPane.SetTitle("Текст");
  CVarnekListView list;
  CVarnekEditView edit;
  list.Create(listPane, nullptr, nullptr, kChild | LVS_REPORT | LVS_SHOWSELALWAYS);
  edit.Create(textPane, nullptr, nullptr, kChild | WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE, 0, 1);
  edit.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  listPane.SetClient(list);
  textPane.SetClient(edit);
  listPane.MoveWindow(0, 0, 420, 220);
  textPane.MoveWindow(0, 224, 420, 96);
  list.FillFromEngine(engine);

  const int before = parent.m_count;
  edit.SetFocus();
  for (const char* key = "Привет"; *key; ++key)
    SendMessageW(edit, WM_CHAR, ui::Wide1251(std::string(1, *key))[0], 0);
  EXPECT_GT(parent.m_count, before);
  EXPECT_EQ(parent.m_message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(parent.m_wParam, MAKEWPARAM(1, EN_CHANGE));
  EXPECT_EQ(parent.m_lParam, reinterpret_cast<LPARAM>(edit.m_hWnd));
  EXPECT_EQ(edit.GetWindowText1251(), "Привет");

  textPane.SetTitle("Текст - 6");
  textPane.Invalidate();
  ui_test::SaveScreenShot(parent, "panes");
  list.DestroyWindow();
  edit.DestroyWindow();
}
