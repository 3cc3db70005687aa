#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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
  // The last item's message went out as one part; status: its report's
  // TP-ST, -1 for none yet.
  void Report(int status) {
    CSendRecord record = CSendRecord::Confirmed({5}, "2026-12-08 17:30:05");
    if (status >= 0) record.TakeReport(5, status, "2026-12-08 17:30:09 +03:00");
    m_engine->m_items.back().m_record = std::make_shared<const CSendRecord>(record);
  }

  testing_support::TempDir m_folder;
  std::unique_ptr<CEngine> m_engine;
  ui_test::CTestParent m_parent;
  CVarnekListView m_list;
};

TEST_F(ListViewTest, CreationGivesAVirtualReportListWithThreeHeaders) {
  ASSERT_TRUE(m_list.IsWindow());
  const DWORD style = m_list.GetStyle();
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & LVS_OWNERDATA);
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
    for (int column = 0; column < 3; ++column) EXPECT_TRUE(HeaderWhole(*list, column)) << column;
  }
  unsized.DestroyWindow();
}

// The rows are read from the engine's items whenever they are shown; a
// cause follows its state's text. A message that went out shows what its
// report says, with the report's cause where one failed.
TEST_F(ListViewTest, RowsShowNumbersStatesWithCausesAndTexts) {
  Add("79161234567", Accepted, "первый");
  Add("79161234568", Sent, "");
  Add("79161234569", Duplicate, "третий номер");
  Add("79161234570", SendError, "");
  m_engine->m_items[3].m_cause = "+CMS ERROR: 38 (network out of order)";
  Add("79161234571", static_cast<DeliveryState>(42), "damaged");
  Add("79161234572", Sent, "");
  Report(0x00);
  Add("79161234573", Sent, "");
  Report(0x46);
  m_engine->m_items.back().m_cause = "Маркер не записан";
  const std::string failed = "Не доставлен — " + m_engine->m_items.back().m_record->cause;
  Add("79161234574", Sent, "");
  Report(0x20);
  Add("79161234575", Sent, "");
  Report(-1);
  Add("79161234576", Unconfirmed, "");
  m_engine->m_items.back().m_cause = "Отправка прервана, сообщение могло уйти: pid 4242";
  Add("79161234577", StopListed, "");
  m_list.FillFromEngine(*m_engine);
  ASSERT_EQ(m_list.GetItemCount(), 11);
  struct Row {
    const char* number;
    const char* state;
    const char* text;
  };
  const Row rows[] = {{"79161234567", "Принят", "первый"},
                      {"79161234568", "Отправлен", ""},
                      {"79161234569", "Дублирование номера", "третий номер"},
                      {"79161234570", "Ошибка отправки — +CMS ERROR: 38 (network out of order)", ""},
                      {"79161234571", "", "damaged"},
                      {"79161234572", "Доставлен", ""},
                      {"79161234573", failed.c_str(), ""},
                      {"79161234574", "Ожидает доставки — congestion (0x20)", ""},
                      {"79161234575", "Отправлен", ""},
                      {"79161234576", "Без подтверждения — Отправка прервана, сообщение могло уйти: pid 4242", ""},
                      {"79161234577", "В стоп-листе", ""}};
  EXPECT_NE(failed.find("(0x46)"), std::string::npos) << failed;
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(m_list.GetItemText(i, 0), rows[i].number) << "row " << i;
    EXPECT_EQ(m_list.GetItemText(i, 1), rows[i].state) << "row " << i;
    EXPECT_EQ(m_list.GetItemText(i, 2), rows[i].text) << "row " << i;
  }
  EXPECT_EQ(m_list.GetItemText(11, 0), "") << "past the last row";
  ui_test::SaveScreenShot(m_parent, "list-view");
}

// The widths a plain list view fits to every row and its header (the text
// column: at least the room left).
std::vector<int> FullFit(HWND parent, const std::vector<CListItem>& items, int width) {
  CListViewCtrl plain(CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, width, 200,
                                      parent, nullptr, nullptr, nullptr));
  plain.SetExtendedListViewStyle(0x21);
  for (const char* header : {"Номер", "Статус", "Текст"}) plain.InsertColumn(plain.GetColumnCount(), header);
  for (const CListItem& item : items) {
    const int row = plain.InsertItem(plain.GetItemCount(), item.m_number.c_str());
    plain.SetItemText(row, 1, CVarnekListView::StatusText(item).c_str());
    plain.SetItemText(row, 2, item.m_text.c_str());
  }
  std::vector<int> widths;
  for (int column = 0; column < 3; ++column) {
    plain.SetColumnWidth(column, column < 2 ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE);
    widths.push_back(plain.GetColumnWidth(column));
  }
  plain.DestroyWindow();
  return widths;
}

// The columns are fitted to a few of the longest texts, not to every row:
// the widths must still be those of a fit to every row.
TEST_F(ListViewTest, ColumnsFitAsAFitToEveryRowDoes) {
  for (int i = 0; i < 40; ++i) Add(("7916000" + std::to_string(1000 + i)).c_str(), i % 3 ? Accepted : Sent, "коротко");
  Add("79160000001234", Accepted, "a much longer free text than the others");
  Add("79160000003", SendError, "");
  m_engine->m_items.back().m_cause = "+CMS ERROR: 311 (SIM PIN required)";
  for (int i = 0; i < 12; ++i) Add("7916123456", Duplicate, "Ш");
  // After the reports: the cause of the longest status is the report's.
  std::vector<CListItem> reported;
  for (int status : {0x00, 0x42, 0x00, -1}) {
    Add("79160000004", Sent, "wider than its header");
    Report(status);
    reported.push_back(m_engine->m_items.back());
  }
  for (const std::vector<CListItem>& items : {m_engine->m_items, reported}) {
    m_engine->m_items = items;
    m_list.FillFromEngine(*m_engine);
    const std::vector<int> full = FullFit(m_parent, m_engine->m_items, 380);
    RECT client{};
    m_list.GetClientRect(&client);
    EXPECT_EQ(m_list.GetColumnWidth(0), full[0]);
    EXPECT_EQ(m_list.GetColumnWidth(1), full[1]);
    EXPECT_EQ(m_list.GetColumnWidth(2), std::max<int>(full[2], client.right - full[0] - full[1]));
  }
}

// A change redraws its row and widens the status column for a longer text;
// it never narrows it (a fit does).
TEST_F(ListViewTest, RowChangedShowsTheNewStateAndWidensOnly) {
  Add("79160000001", Accepted, "a");
  Add("79160000002", Accepted, "b");
  m_list.FillFromEngine(*m_engine);
  const int narrow = m_list.GetColumnWidth(1);
  CListItem& item = m_engine->m_items[1];
  item.m_state = SendError;
  item.m_cause = "+CMS ERROR: 500 (unknown error)";
  m_list.RowChanged(1, item);
  EXPECT_EQ(m_list.GetItemText(1, 1), "Ошибка отправки — +CMS ERROR: 500 (unknown error)");
  const int wide = m_list.GetColumnWidth(1);
  EXPECT_EQ(wide, FullFit(m_parent, m_engine->m_items, 380)[1]);
  item.m_state = Sent;
  item.m_cause.clear();
  m_list.RowChanged(1, item);
  EXPECT_EQ(m_list.GetItemText(1, 1), "Отправлен");
  EXPECT_EQ(m_list.GetColumnWidth(1), wide);
  m_list.AutoSizeColumns();
  EXPECT_EQ(m_list.GetColumnWidth(1), FullFit(m_parent, m_engine->m_items, 380)[1]);
  EXPECT_LT(m_list.GetColumnWidth(1), wide);
  EXPECT_GE(m_list.GetColumnWidth(1), narrow);
}

// The list follows the number in hand while the operator lets it; scrolled
// away, it stays until the number followed is in sight again.
TEST_F(ListViewTest, FollowingStopsWhileTheOperatorLooksElsewhere) {
  for (int i = 0; i < 300; ++i) Add("7916000000", Accepted, "");
  m_list.FillFromEngine(*m_engine);
  auto top = [&] { return static_cast<int>(m_list.SendMessage(LVM_GETTOPINDEX)); };
  auto page = [&] { return static_cast<int>(m_list.SendMessage(LVM_GETCOUNTPERPAGE)); };
  auto inView = [&](int row) { return row >= top() && row < top() + page(); };
  m_list.FollowRow(150);
  EXPECT_TRUE(inView(150));
  m_list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);  // the operator scrolls to the top
  ASSERT_FALSE(inView(150));
  m_list.FollowRow(151);
  EXPECT_EQ(top(), 0) << "scrolled away: the list stays";
  m_list.SendMessage(LVM_ENSUREVISIBLE, 151, FALSE);  // back to the number in hand
  m_list.FollowRow(280);
  EXPECT_TRUE(inView(280));
  m_list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
  m_list.FollowRow(-1);  // a new delivery follows from its first number
  m_list.FollowRow(200);
  EXPECT_TRUE(inView(200));
}

TEST_F(ListViewTest, SelectedIndexIsMinusOneOrTheSelectedRow) {
  for (int i = 0; i < 6; ++i) Add("7916000000", Accepted, "");
  m_list.FillFromEngine(*m_engine);
  EXPECT_EQ(m_list.GetSelectedIndex(), -1);
  m_list.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(m_list.GetSelectedIndex(), 4);
  m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(m_list.GetSelectedIndex(), 1) << "single selection: the new row replaces the old";
  m_list.FillFromEngine(*m_engine);
  EXPECT_EQ(m_list.GetSelectedIndex(), -1) << "a new fill selects nothing";
}

// Typing in the list asks its parent for the next row that begins with the
// typed digits; the list answers that itself, under any parent.
TEST_F(ListViewTest, TypedDigitsFindTheNextNumber) {
  for (const char* number : {"79160000001", "79260000002", "79160000003", "78000000000"}) Add(number, Accepted, "");
  m_list.FillFromEngine(*m_engine);
  struct Case {
    const wchar_t* typed;
    int start;
    UINT flags;
    int row;
  };
  const Case cases[] = {{L"7916", 0, LVFI_PARTIAL | LVFI_STRING, 0},
                        {L"7916", 1, LVFI_PARTIAL | LVFI_STRING, 2},
                        {L"7916", 3, LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, 0},
                        {L"7916", 3, LVFI_PARTIAL | LVFI_STRING, -1},
                        {L"78000000000", -1, LVFI_STRING, 3},
                        {L"7800", 0, LVFI_STRING, -1},
                        {L"5", 0, LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, -1}};
  for (const Case& c : cases) {
    NMLVFINDITEMW find{};
    find.hdr.hwndFrom = m_list;
    find.hdr.idFrom = 0;
    find.hdr.code = LVN_ODFINDITEMW;
    find.iStart = c.start;
    find.lvfi.flags = c.flags;
    find.lvfi.psz = c.typed;
    m_parent.m_count = 0;
    EXPECT_EQ(m_parent.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&find)), c.row)
        << ui::Narrow1251(c.typed) << " from " << c.start;
    EXPECT_EQ(m_parent.m_count, 0) << "answered by the list, not passed to the parent's handlers";
  }
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
