#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "support/TempDir.h"
#include "UiTestSupport.h"
#include "ui/VarnekEditView.h"
#include "ui/VarnekListView.h"

namespace {

// A list view in a parent window over an engine of its own, in a folder
// that stands in for the program's.
class ListViewTest : public ::testing::Test {
 protected:
  ListViewTest() {
    m_folder.UseAsProgramFolder();
    m_engine.reset(new CEngine());
    const RECT rect{0, 0, 380, 280};
    m_list.Create(m_parent, &rect, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT | LVS_SHOWSELALWAYS);
  }
  ~ListViewTest() override {
    m_list.DestroyWindow();
    m_engine.reset();
  }
  void Add(const char* number, DeliveryState state, const char* text) {
    CListItem item;
    item.m_number = number;
    item.m_state = state;
    item.m_text = text;
    m_engine->m_items.push_back(item);
  }

  testing_support::TempDir m_folder;
  std::unique_ptr<CEngine> m_engine;
  ui_test::CTestParent m_parent;
  CVarnekListView m_list;
};

TEST_F(ListViewTest, CreationGivesReportStylesAndThreeHeaders) {
  ASSERT_TRUE(m_list.IsWindow());
  const DWORD style = m_list.GetStyle();
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_EQ(m_list.GetExtendedListViewStyle(), 0x21u);
  EXPECT_EQ(m_list.GetColumnCount(), 3);
}

// Whether the header of column shows its text whole: the header control
// draws it inset by three edges on each side and cuts it with "..." beyond.
bool HeaderWhole(CVarnekListView& list, int column) {
  HWND header = reinterpret_cast<HWND>(list.SendMessage(LVM_GETHEADER));
  wchar_t text[64] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH;
  item.pszText = text;
  item.cchTextMax = 64;
  ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
  HDC dc = ::GetDC(header);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ::ReleaseDC(header, dc);
  return item.cxy >= size.cx + 2 * 3 * GetSystemMetrics(SM_CXEDGE);
}

// Empty, the list shows its three headers whole, also when it was created
// without a size (as the main window creates it) and only later laid out.
TEST_F(ListViewTest, EmptyListKeepsTheHeadersWholeAndNoRows) {
  CVarnekListView unsized;
  const RECT none{0, 0, 0, 0};
  ASSERT_TRUE(unsized.Create(m_parent, &none, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT));
  unsized.MoveWindow(0, 0, 380, 280);
  for (CVarnekListView* list : {&m_list, &unsized}) {
    list->FillFromEngine(*m_engine);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetColumnCount(), 3);
    list->UpdateStates(*m_engine);
    EXPECT_EQ(list->GetItemCount(), 0);
    for (int column = 0; column < 3; ++column) EXPECT_TRUE(HeaderWhole(*list, column)) << column;
  }
  unsized.DestroyWindow();
}

TEST_F(ListViewTest, FillShowsNumbersStateTextsAndTexts) {
  Add("79161234567", Accepted, "первый");
  Add("79161234568", Sent, "");
  Add("79161234569", Duplicate, "третий номер");
  m_list.FillFromEngine(*m_engine);
  ASSERT_EQ(m_list.GetItemCount(), 3);
  struct Row {
    const char* number;
    const char* state;
    const char* text;
  };
  const Row rows[] = {{"79161234567", "Принят", "первый"},
                      {"79161234568", "Отправлен", ""},
                      {"79161234569", "Дублирование номера", "третий номер"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m_list.GetItemText(i, 0), rows[i].number) << "row " << i;
    EXPECT_EQ(m_list.GetItemText(i, 1), rows[i].state) << "row " << i;
    EXPECT_EQ(m_list.GetItemText(i, 2), rows[i].text) << "row " << i;
  }
  EXPECT_GT(m_list.GetColumnWidth(1), 0);
  ui_test::SaveScreenShot(m_parent, "list-view");
}

TEST_F(ListViewTest, UpdateStatesRewritesOnlyTheStatusColumn) {
  Add("79160000001", Accepted, "a");
  Add("79160000002", Accepted, "b");
  m_list.FillFromEngine(*m_engine);
  const int narrow = m_list.GetColumnWidth(1);
  m_engine->m_items[0].m_number = "70000000000";
  m_engine->m_items[0].m_text = "changed";
  m_engine->m_items[1].m_state = SendError;
  m_list.UpdateStates(*m_engine);
  EXPECT_EQ(m_list.GetItemText(0, 0), "79160000001");
  EXPECT_EQ(m_list.GetItemText(0, 2), "a");
  EXPECT_EQ(m_list.GetItemText(0, 1), "Принят");
  EXPECT_EQ(m_list.GetItemText(1, 1), "Ошибка отправки");
  EXPECT_GT(m_list.GetColumnWidth(1), narrow) << "the columns are re-fitted";
}

// UpdateStates fits without measuring every row; the widths must be those
// of a full fit, and a width set by dragging a divider must not survive.
TEST_F(ListViewTest, UpdateStatesFitsAsAFullFitDoes) {
  Add("79160000001", Accepted, "короткий");
  Add("7916000000222", Accepted, "a much longer free text");
  Add("79160000003", Accepted, "");
  m_list.FillFromEngine(*m_engine);
  const struct {
    DeliveryState first;
    DeliveryState third;
  } steps[] = {{Sending, Accepted}, {Duplicate, SendError}, {Sent, Sent}, {Accepted, Accepted}};
  for (const auto& step : steps) {
    m_engine->m_items[0].m_state = step.first;
    m_engine->m_items[2].m_state = step.third;
    m_list.SetColumnWidth(0, 300);
    m_list.SetColumnWidth(1, 5);
    m_list.UpdateStates(*m_engine);
    const int widths[] = {m_list.GetColumnWidth(0), m_list.GetColumnWidth(1), m_list.GetColumnWidth(2)};
    m_list.AutoSizeColumns();
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(widths[column], m_list.GetColumnWidth(column)) << "column " << column << ", states " << step.first << " " << step.third;
  }
}

// The worker calls UpdateStates on its own thread; the window's thread
// keeps pumping, as the message loop does.
TEST_F(ListViewTest, UpdateStatesFromAnotherThreadWaitsForTheWindowThread) {
  Add("79160000001", Accepted, "");
  m_list.FillFromEngine(*m_engine);
  m_engine->m_items[0].m_state = Sending;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    m_list.UpdateStates(*m_engine);
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT | QS_SENDMESSAGE);
    ui_test::PumpMessages();
  }
  worker.join();
  EXPECT_EQ(m_list.GetItemText(0, 1), "Отправка...");
}

TEST_F(ListViewTest, SelectedIndexIsMinusOneOrTheSelectedRow) {
  for (int i = 0; i < 6; ++i) Add("7916000000", Accepted, "");
  m_list.FillFromEngine(*m_engine);
  EXPECT_EQ(m_list.GetSelectedIndex(), -1);
  m_list.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(m_list.GetSelectedIndex(), 4);
  m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(m_list.GetSelectedIndex(), 1) << "single selection: the new row replaces the old";
}

// Cyrillic typed into the editor reads back as the same 1251 bytes under a
// non-Russian system code page.
TEST(EditView, CyrillicTextReadsBackAs1251) {
  ui_test::CTestParent parent;
  CVarnekEditView edit;
  const RECT rect{0, 0, 200, 100};
  ASSERT_TRUE(edit.Create(parent, &rect, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE));
  const char text[] = "Привет, мир! Ёё №5";
  edit.SetWindowText1251(text);
  EXPECT_EQ(edit.GetWindowText1251(), text);
  EXPECT_EQ(edit.GetWindowTextLength(), static_cast<int>(sizeof(text) - 1));
  edit.SetSel(0, -1);
  edit.ReplaceSel("Ъ");
  EXPECT_EQ(edit.GetWindowText1251(), "Ъ");
  edit.SetReadOnly(true);
  EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
  edit.DestroyWindow();
}

}  // namespace
