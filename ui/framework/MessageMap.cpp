#include "ui/framework/MessageMap.h"

namespace {

struct MessageRange {
  UINT first;
  UINT last;
};

constexpr MessageRange kChildNotifications[] = {
    {WM_COMMAND, WM_COMMAND},
    {WM_NOTIFY, WM_NOTIFY},
    {WM_PARENTNOTIFY, WM_PARENTNOTIFY},
    {WM_DRAWITEM, WM_DRAWITEM},
    {WM_MEASUREITEM, WM_MEASUREITEM},
    {WM_COMPAREITEM, WM_COMPAREITEM},
    {WM_DELETEITEM, WM_DELETEITEM},
    {WM_VKEYTOITEM, WM_VKEYTOITEM},
    {WM_CHARTOITEM, WM_CHARTOITEM},
    {WM_HSCROLL, WM_HSCROLL},
    {WM_VSCROLL, WM_VSCROLL},
    {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC},
};

constexpr wchar_t kAnswersOwnNotifications[] = L"VarnekAnswersOwnNotifications";

}  // namespace

bool IsChildNotification(UINT message) {
  for (const MessageRange& range : kChildNotifications) {
    if (message >= range.first && message <= range.last) return true;
  }
  return false;
}

bool ForwardNotificationToParent(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result) {
  if (!IsChildNotification(message)) return false;
  result = SendMessageW(GetParent(hWnd), message, wParam, lParam);
  return true;
}

void AnswerOwnNotifications(HWND control, bool answers) {
  if (answers)
    SetPropW(control, kAnswersOwnNotifications, reinterpret_cast<HANDLE>(1));
  else
    RemovePropW(control, kAnswersOwnNotifications);
}

bool LetControlAnswer(LPARAM lParam, LRESULT& result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr || !GetPropW(header->hwndFrom, kAnswersOwnNotifications)) return false;
  COwnNotification own{header, 0, false};
  SendMessageW(header->hwndFrom, kOwnNotification, 0, reinterpret_cast<LPARAM>(&own));
  if (own.answered) result = own.result;
  return own.answered;
}
