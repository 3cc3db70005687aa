#include "ui/VarnekListView.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

constexpr DWORD kStyles = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr const char* kHeaders[] = {"Номер", "Статус", "Текст"};
constexpr int kStatusColumn = 1;
constexpr int kStateCount = kDeliveryStateCount;
// Out-of-range states (which never occur) are counted in one extra slot.
constexpr int kStateSlots = kStateCount + 1;
// Sent to the list view by UpdateStates, with the engine in lParam.
constexpr UINT kUpdateStatesMessage = WM_APP + 1;
constexpr int kMeasuringListId = 0x7FF0;

}  // namespace

bool CVarnekListView::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
  static constexpr CMessageEntry<CVarnekListView> kMessages[] = {
      {WM_CREATE, WM_CREATE, &CVarnekListView::OnCreate},
      {kUpdateStatesMessage, kUpdateStatesMessage, &CVarnekListView::OnUpdateStates},
      {WM_SETFONT, WM_SETFONT, &CVarnekListView::OnSetFont},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

LRESULT CVarnekListView::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT created = DefWindowProc(message, wParam, lParam);
  ModifyStyle(0, kStyles);
  SetExtendedListViewStyle(kExtendedStyles);
  for (int column = 0; column < static_cast<int>(std::size(kHeaders)); ++column)
    InsertColumn(column, kHeaders[column]);
  CreateMeasuringList();
  AutoSizeColumns();
  return created;
}

// Fitting a column measures every row: on 10,000 rows that takes the
// platform a good part of a second, far too long for each state change of a
// delivery. A hidden list view with the same columns and font gives the
// same widths cheaply: the status column holds at most six distinct texts,
// and fitting those alone yields the width fitting all rows would. It also
// keeps the number column's fitted width, as numbers only change by a fill.
void CVarnekListView::CreateMeasuringList() {
  CListViewCtrl measuring(CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 0, 0, m_hWnd,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMeasuringListId)),
                                          GetAppModule().GetModuleInstance(), nullptr));
  if (!measuring.IsWindow()) return;
  measuring.SetExtendedListViewStyle(kExtendedStyles);
  for (int column = 0; column < static_cast<int>(std::size(kHeaders)); ++column)
    measuring.InsertColumn(column, kHeaders[column]);
}

HWND CVarnekListView::MeasuringList() const { return GetDlgItem(kMeasuringListId); }

LRESULT CVarnekListView::OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  ::SendMessageW(MeasuringList(), WM_SETFONT, wParam, FALSE);
  return DefWindowProc(message, wParam, lParam);
}

// Empty, the list fits its columns to the headers alone, and the platform's
// fit may leave a header cut ("Ном..." under Wine, whose fit is a pixel short
// of its header's margins) or, for the last column of a list that had no
// width yet, a sliver. Those columns get the width of the whole header.
void CVarnekListView::AutoSizeColumns() {
  const bool empty = GetItemCount() == 0;
  for (int column = 0; column < static_cast<int>(std::size(kHeaders)); ++column) {
    SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
    if (empty) SetColumnWidth(column, std::max(GetColumnWidth(column), WholeHeaderWidth(column)));
  }
  CListViewCtrl(MeasuringList()).SetColumnWidth(0, GetColumnWidth(0));
}

// The header control draws its text inset by three edges on each side.
int CVarnekListView::WholeHeaderWidth(int column) const {
  HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
  const std::wstring text = ui::Wide1251(kHeaders[column]);
  HDC dc = ::GetDC(header);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ::ReleaseDC(header, dc);
  return size.cx + 2 * 3 * GetSystemMetrics(SM_CXEDGE);
}

void CVarnekListView::RefitAfterStates(const bool* present) {
  CListViewCtrl measuring(MeasuringList());
  if (!measuring.IsWindow() || GetItemCount() == 0) {
    AutoSizeColumns();
    return;
  }
  measuring.DeleteAllItems();
  for (int slot = 0; slot < kStateSlots; ++slot) {
    if (!present[slot]) continue;
    const int row = measuring.InsertItem(measuring.GetItemCount(), "");
    measuring.SetItemText(row, kStatusColumn,
                          slot < kStateCount ? DeliveryStateText(static_cast<DeliveryState>(slot)) : "");
  }
  measuring.SetColumnWidth(kStatusColumn, LVSCW_AUTOSIZE_USEHEADER);
  SetColumnWidth(0, measuring.GetColumnWidth(0));
  SetColumnWidth(kStatusColumn, measuring.GetColumnWidth(kStatusColumn));
  SetColumnWidth(2, LVSCW_AUTOSIZE_USEHEADER);  // the last column: only the room left
}

void CVarnekListView::FillFromEngine(CEngine& engine) {
  // Without redrawing and with the rows reserved, 10,000 rows take a
  // fraction of a second instead of a repaint per row.
  SetRedraw(false);
  DeleteAllItems();
  SetItemCount(static_cast<int>(engine.m_items.size()));
  for (size_t i = 0; i < engine.m_items.size(); ++i) {
    const CListItem& item = engine.m_items[i];
    const int row = InsertItem(GetItemCount(), item.m_number.c_str());
    SetItemText(row, kStatusColumn, DeliveryStateText(item.m_state));
    SetItemText(row, 2, item.m_text.c_str());
  }
  SetRedraw(true);
  AutoSizeColumns();
  Invalidate();
}

void CVarnekListView::UpdateStates(CEngine& engine) {
  SendMessage(kUpdateStatesMessage, 0, reinterpret_cast<LPARAM>(&engine));
}

LRESULT CVarnekListView::OnUpdateStates(UINT, WPARAM, LPARAM lParam, bool&) {
  bool present[kStateSlots] = {};
  WriteChangedStates(*reinterpret_cast<const CEngine*>(lParam), present);
  RefitAfterStates(present);
  return 0;
}

// A state change of one number must not cost a write per row: only cells
// whose text differs from the state's are written.
void CVarnekListView::WriteChangedStates(const CEngine& engine, bool* present) {
  std::wstring texts[kStateCount];
  for (int state = 0; state < kStateCount; ++state)
    texts[state] = ui::Wide1251(DeliveryStateText(static_cast<DeliveryState>(state)));
  wchar_t shown[64];
  for (size_t i = 0; i < engine.m_items.size(); ++i) {
    const DeliveryState itemState = engine.ItemSnapshot(i).m_state;  // a modem may change it
    const auto state = static_cast<size_t>(itemState);
    present[state < kStateCount ? state : kStateCount] = true;
    const std::wstring wanted = state < kStateCount ? texts[state] : ui::Wide1251(DeliveryStateText(itemState));
    const int row = static_cast<int>(i);
    GetItemTextW(row, kStatusColumn, shown, static_cast<int>(std::size(shown)));
    if (wanted != shown) SetItemTextW(row, kStatusColumn, wanted.c_str());
  }
}
