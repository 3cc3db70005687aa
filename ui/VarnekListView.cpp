#include "ui/VarnekListView.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStyles = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr const char* kHeaders[] = {"Номер", "Статус", "Текст"};
constexpr int kNumberColumn = 0;
constexpr int kStatusColumn = 1;
constexpr int kTextColumn = 2;
constexpr int kMeasuringListId = 0x7FF0;
constexpr char kCauseSeparator[] = " — ";
// Texts per column that a fit measures; see CLongestTexts.
constexpr size_t kSamples = 8;

// The few longest texts offered (by characters). Fitting a column to these
// gives the width fitting it to every row gives, as far as width grows with
// length: digits, which numbers are made of, are all of one width. Fitting
// a million rows takes the platform seconds.
class CLongestTexts {
 public:
  void Offer(const std::string& text) {
    if (m_texts.size() < kSamples) {
      m_texts.push_back(text);
    } else if (text.size() > m_texts[m_shortest].size()) {
      m_texts[m_shortest] = text;
    } else {
      return;
    }
    m_shortest = 0;
    for (size_t i = 1; i < m_texts.size(); ++i) {
      if (m_texts[i].size() < m_texts[m_shortest].size()) m_shortest = i;
    }
  }
  const std::vector<std::string>& Texts() const { return m_texts; }

 private:
  std::vector<std::string> m_texts;
  size_t m_shortest = 0;
};

}  // namespace

// What the reports say of a message outweighs what was known when it left.
const std::string& CVarnekListView::CauseOf(const CListItem& item) {
  if (item.m_record != nullptr && !item.m_record->cause.empty()) return item.m_record->cause;
  return item.m_cause;
}

std::string CVarnekListView::StatusText(const CListItem& item) {
  std::string text = ItemStateText(item);
  const std::string& cause = CauseOf(item);
  if (!cause.empty()) text += kCauseSeparator + cause;
  return text;
}

bool CVarnekListView::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
  static constexpr CMessageEntry<CVarnekListView> kMessages[] = {
      {WM_NCCREATE, WM_NCCREATE, &CVarnekListView::OnNcCreate},
      {WM_CREATE, WM_CREATE, &CVarnekListView::OnCreate},
      {WM_DESTROY, WM_DESTROY, &CVarnekListView::OnDestroy},
      {WM_SETFONT, WM_SETFONT, &CVarnekListView::OnSetFont},
      {WM_SIZE, WM_SIZE, &CVarnekListView::OnSize},
      {kOwnNotification, kOwnNotification, &CVarnekListView::OnOwnNotification},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

// Owner data cannot be switched on later: the styles are added to the
// creation's before the system list view sees them.
LRESULT CVarnekListView::OnNcCreate(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
  create->style |= kStyles;
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(create->style));
  handled = false;
  return 0;
}

LRESULT CVarnekListView::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  reinterpret_cast<CREATESTRUCTW*>(lParam)->style |= kStyles;
  const LRESULT created = DefWindowProc(message, wParam, lParam);
  SetExtendedListViewStyle(kExtendedStyles);
  for (int column = 0; column < kColumns; ++column) InsertColumn(column, kHeaders[column]);
  AnswerOwnNotifications(m_hWnd, true);
  CreateMeasuringList();
  AutoSizeColumns();
  return created;
}

LRESULT CVarnekListView::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  AnswerOwnNotifications(m_hWnd, false);
  handled = false;
  return 0;
}

// A hidden list view with the same columns and font: the widths it fits
// to a few texts are those the platform fits to the same texts here.
void CVarnekListView::CreateMeasuringList() {
  CListViewCtrl measuring(CreateWindowExW(
      0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 0, 0, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMeasuringListId)),
      GetAppModule().GetModuleInstance(), nullptr));
  if (!measuring.IsWindow()) return;
  measuring.SetExtendedListViewStyle(kExtendedStyles);
  for (int column = 0; column < kColumns; ++column) measuring.InsertColumn(column, kHeaders[column]);
}

HWND CVarnekListView::MeasuringList() const { return GetDlgItem(kMeasuringListId); }

LRESULT CVarnekListView::OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  ::SendMessageW(MeasuringList(), WM_SETFONT, wParam, FALSE);
  m_statusWidths.clear();
  return DefWindowProc(message, wParam, lParam);
}

// The text column keeps the room left as the list changes size.
LRESULT CVarnekListView::OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT result = DefWindowProc(message, wParam, lParam);
  ApplyWidths();
  return result;
}

void CVarnekListView::FillFromEngine(CEngine& engine) {
  m_engine = &engine;
  m_rows = engine.m_items.size();
  m_followed = -1;
  DeleteAllItems();
  SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_rows), 0);
  AutoSizeColumns();
  Invalidate();
}

// The status column only grows here; a divider the operator drags during a
// delivery stays where it was put unless a wider text comes.
void CVarnekListView::RowChanged(size_t index, const CListItem& item) {
  if (index >= m_rows) return;
  SendMessage(LVM_REDRAWITEMS, index, index);
  const std::string text = StatusText(item);
  auto known = m_statusWidths.find(text);
  if (known == m_statusWidths.end())
    known = m_statusWidths.emplace(text, FittedWidth(kStatusColumn, {text})).first;
  if (known->second <= m_widths[kStatusColumn]) return;
  m_widths[kStatusColumn] = known->second;
  ApplyWidths();
}

void CVarnekListView::AutoSizeColumns() {
  CLongestTexts numbers, texts, causes;
  // The texts of the states shown without a cause: a few constants.
  std::set<const char*> shown;
  if (m_engine != nullptr) {
    for (size_t i = 0; i < m_rows && i < m_engine->m_items.size(); ++i) {
      const CListItem& item = m_engine->m_items[i];
      numbers.Offer(item.m_number);
      texts.Offer(item.m_text);
      if (!CauseOf(item).empty()) {
        causes.Offer(StatusText(item));
      } else {
        shown.insert(ItemStateText(item));
      }
    }
  }
  std::vector<std::string> states = causes.Texts();
  states.insert(states.end(), shown.begin(), shown.end());
  m_widths[kNumberColumn] = FittedWidth(kNumberColumn, numbers.Texts());
  m_widths[kStatusColumn] = FittedWidth(kStatusColumn, states);
  m_widths[kTextColumn] = FittedWidth(kTextColumn, texts.Texts());
  ApplyWidths();
}

// The platform fits a column that is not the last to its header and cells;
// the last one (in the measuring list as here) to its cells alone. Its fit
// to a header alone may cut the header by a pixel (Wine's is a pixel short
// of the header's margins), so no column gets less than the whole header.
int CVarnekListView::FittedWidth(int column, const std::vector<std::string>& texts) const {
  int width = WholeHeaderWidth(column);
  CListViewCtrl measuring(MeasuringList());
  if (!measuring.IsWindow() || texts.empty()) return width;
  measuring.DeleteAllItems();
  for (const std::string& text : texts) {
    const int row = measuring.InsertItem(measuring.GetItemCount(), "");
    measuring.SetItemText(row, column, text.c_str());
  }
  measuring.SetColumnWidth(column, column < kColumns - 1 ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE);
  return std::max(width, measuring.GetColumnWidth(column));
}

// The header control draws its text inset by three edges on each side.
int CVarnekListView::WholeHeaderWidth(int column) const {
  const CWindow header(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)));
  return header.TextWidth(kHeaders[column]) + 2 * 3 * GetSystemMetrics(SM_CXEDGE);
}

// Every width is set again, so a divider dragged by the operator holds only
// until the next fit.
void CVarnekListView::ApplyWidths() {
  if (m_widths[kNumberColumn] == 0) return;  // not fitted yet
  RECT client{};
  GetClientRect(&client);
  const int room = client.right - m_widths[kNumberColumn] - m_widths[kStatusColumn];
  SetColumnWidth(kNumberColumn, m_widths[kNumberColumn]);
  SetColumnWidth(kStatusColumn, m_widths[kStatusColumn]);
  SetColumnWidth(kTextColumn, std::max(m_widths[kTextColumn], room));
}

void CVarnekListView::FollowRow(int row) {
  if (row >= 0 && (m_followed < 0 || RowInView(m_followed)))
    SendMessage(LVM_ENSUREVISIBLE, row, FALSE);
  m_followed = row;
}

bool CVarnekListView::RowInView(int row) const {
  const auto top = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
  const auto page = static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE));
  return row >= top && row < top + page;
}

LRESULT CVarnekListView::OnOwnNotification(UINT, WPARAM, LPARAM lParam, bool&) {
  auto* own = reinterpret_cast<COwnNotification*>(lParam);
  switch (own->header->code) {
    case LVN_GETDISPINFOW:
      GiveCellText(*reinterpret_cast<NMLVDISPINFOW*>(own->header));
      own->answered = true;
      break;
    case LVN_ODFINDITEMW:
      own->result = FindNumber(*reinterpret_cast<NMLVFINDITEMW*>(own->header));
      own->answered = true;
      break;
    default:
      break;
  }
  return 0;
}

void CVarnekListView::GiveCellText(NMLVDISPINFOW& info) const {
  if (!(info.item.mask & LVIF_TEXT)) return;
  ui::CopyText1251(info.item.iItem < 0 ? std::string() : CellText(static_cast<size_t>(info.item.iItem), info.item.iSubItem),
               info.item.pszText, info.item.cchTextMax);
}

// Numbers and texts do not change while a delivery runs; states do, and are
// read with the engine's lock.
std::string CVarnekListView::CellText(size_t row, int column) const {
  if (m_engine == nullptr || row >= m_rows || row >= m_engine->m_items.size()) return std::string();
  switch (column) {
    case kNumberColumn:
      return m_engine->m_items[row].m_number;
    case kStatusColumn:
      return StatusText(m_engine->ItemSnapshot(row));
    case kTextColumn:
      return m_engine->m_items[row].m_text;
    default:
      return std::string();
  }
}

// Typing in the list goes to the next number that begins with the typed
// digits, as in a list that holds its rows.
int CVarnekListView::FindNumber(const NMLVFINDITEMW& find) const {
  if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || find.lvfi.psz == nullptr || m_rows == 0)
    return -1;
  const std::string typed = ui::Narrow1251(find.lvfi.psz);
  const size_t start = find.iStart < 0 ? 0 : static_cast<size_t>(find.iStart) % m_rows;
  for (size_t k = 0; k < m_rows; ++k) {
    const size_t row = (start + k) % m_rows;
    if (row < start && !(find.lvfi.flags & LVFI_WRAP)) break;
    const std::string& number = m_engine->m_items[row].m_number;
    const bool match = (find.lvfi.flags & LVFI_PARTIAL) ? number.compare(0, typed.size(), typed) == 0
                                                         : number == typed;
    if (match) return static_cast<int>(row);
  }
  return -1;
}
