#include "ui/VarnekListView.h"

#include <iterator>
#include <string>

namespace {

constexpr DWORD kStyles = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr const char* kHeaders[] = {"Номер", "Статус", "Текст"};
constexpr int kStatusColumn = 1;
constexpr int kStateCount = 6;
// Sent to the list view by UpdateStates, with the engine in lParam.
constexpr UINT kUpdateStatesMessage = WM_APP + 1;

}  // namespace

bool CVarnekListView::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
  static constexpr CMessageEntry<CVarnekListView> kMessages[] = {
      {WM_CREATE, WM_CREATE, &CVarnekListView::OnCreate},
      {kUpdateStatesMessage, kUpdateStatesMessage, &CVarnekListView::OnUpdateStates},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

LRESULT CVarnekListView::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT created = DefWindowProc(message, wParam, lParam);
  ModifyStyle(0, kStyles);
  SetExtendedListViewStyle(kExtendedStyles);
  for (int column = 0; column < static_cast<int>(std::size(kHeaders)); ++column)
    InsertColumn(column, kHeaders[column]);
  AutoSizeColumns();
  return created;
}

void CVarnekListView::AutoSizeColumns() {
  for (int column = 0; column < static_cast<int>(std::size(kHeaders)); ++column)
    SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
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
  WriteChangedStates(*reinterpret_cast<const CEngine*>(lParam));
  AutoSizeColumns();
  return 0;
}

// A state change of one number must not cost a write per row: only cells
// whose text differs from the state's are written.
void CVarnekListView::WriteChangedStates(const CEngine& engine) {
  std::wstring texts[kStateCount];
  for (int state = 0; state < kStateCount; ++state)
    texts[state] = ui::Wide1251(DeliveryStateText(static_cast<DeliveryState>(state)));
  wchar_t shown[64];
  for (size_t i = 0; i < engine.m_items.size(); ++i) {
    const auto state = static_cast<size_t>(engine.m_items[i].m_state);
    const std::wstring wanted =
        state < kStateCount ? texts[state] : ui::Wide1251(DeliveryStateText(engine.m_items[i].m_state));
    const int row = static_cast<int>(i);
    GetItemTextW(row, kStatusColumn, shown, static_cast<int>(std::size(shown)));
    if (wanted != shown) SetItemTextW(row, kStatusColumn, wanted.c_str());
  }
}
