#include "ui/InboxDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/framework/ListViewCtrl.h"

namespace {

constexpr const char* kHeaders[] = {"Время", "Отправитель", "Текст"};
constexpr int kTextColumn = 2;
constexpr char kNone[] = "Входящих сообщений нет.";

// A reply of several lines shows on one row.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace

std::string CInboxDialog::StateText(size_t count, const std::string& path) {
  if (count == 0) return kNone;
  return "Сообщений: " + std::to_string(count) + ", последнее внизу. Файл: " + path;
}

bool CInboxDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
  static constexpr CMessageEntry<CInboxDialog> kMessages[] = {
      {WM_INITDIALOG, WM_INITDIALOG, &CInboxDialog::OnInitDialog},
      {WM_NOTIFY, WM_NOTIFY, &CInboxDialog::OnNotify},
  };
  static constexpr CCommandEntry<CInboxDialog> kCommands[] = {
      {IDOK, kAnyCode, &CInboxDialog::OnClose},
      {IDCANCEL, kAnyCode, &CInboxDialog::OnClose},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteCommand(this, kCommands, message, wParam, lParam, result);
}

LRESULT CInboxDialog::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  m_replies = CRepliesFile::ReadAll();
  SetDlgItemText1251(IDC_INBOXSTATE, StateText(m_replies.size(), CRepliesFile::Path()).c_str());
  CListViewCtrl list(GetDlgItem(IDC_INBOXLIST));
  list.SetExtendedListViewStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  for (int column = 0; column <= kTextColumn; ++column) list.InsertColumn(column, kHeaders[column]);
  list.SendMessage(LVM_SETITEMCOUNT, m_replies.size(), 0);
  FitColumns(list);
  if (!m_replies.empty()) list.SendMessage(LVM_ENSUREVISIBLE, m_replies.size() - 1, FALSE);
  CenterWindow(GetParent());
  return TRUE;
}

// Time and sender fitted to the rows in view and their headers (all rows
// hold the same kinds of text); the text takes the room left, at least.
void CInboxDialog::FitColumns(HWND list) const {
  CListViewCtrl view(list);
  for (int column = 0; column < kTextColumn; ++column)
    view.SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
  RECT client{};
  ::GetClientRect(list, &client);
  const int left = client.right - view.GetColumnWidth(0) - view.GetColumnWidth(1);
  view.SetColumnWidth(kTextColumn, LVSCW_AUTOSIZE_USEHEADER);
  view.SetColumnWidth(kTextColumn, std::max(left, view.GetColumnWidth(kTextColumn)));
}

LRESULT CInboxDialog::OnNotify(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->idFrom != IDC_INBOXLIST || header->code != LVN_GETDISPINFOW) {
    handled = false;
    return 0;
  }
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
  if (!(item.mask & LVIF_TEXT)) return 0;
  std::string text;
  if (item.iItem >= 0 && static_cast<size_t>(item.iItem) < m_replies.size() && item.iSubItem >= 0 &&
      item.iSubItem <= kTextColumn) {
    const CReply& reply = m_replies[static_cast<size_t>(item.iItem)];
    const std::string* fields[] = {&reply.time, &reply.sender, &reply.text};
    text = OneLine(*fields[item.iSubItem]);
  }
  ui::CopyText1251(text, item.pszText, item.cchTextMax);
  return 0;
}

LRESULT CInboxDialog::OnClose(WORD, WORD id, HWND, bool&) {
  EndDialog(id);
  return 0;
}
