#pragma once
// Message maps. A window class implements ProcessWindowMessage: it answers
// what it handles (true, with the result) and lets the rest go on (false).
// Handlers are named methods; the helpers below route a message to them
// through constexpr tables:
//
//   static constexpr CMessageEntry<CPane> kMessages[] = {
//       {WM_SIZE, WM_SIZE, &CPane::OnSize}};
//   return RouteMessage(this, kMessages, message, wParam, lParam, result);
//
// A handler that clears `handled` passes the message on, as if unhandled.
#include <windows.h>

#include <cstddef>

class CMessageMap {
 public:
  virtual ~CMessageMap() = default;
  virtual bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
};

template <class T>
using MessageHandler = LRESULT (T::*)(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
// WM_COMMAND: notification code, control or command id, control window.
template <class T>
using CommandHandler = LRESULT (T::*)(WORD code, WORD id, HWND control, bool& handled);
// WM_NOTIFY: control id and the header.
template <class T>
using NotifyHandler = LRESULT (T::*)(int idCtrl, NMHDR* header, bool& handled);

// Messages first..last inclusive.
template <class T>
struct CMessageEntry {
  UINT first;
  UINT last;
  MessageHandler<T> handler;
};

// kAnyId / kAnyCode match every id or notification code.
constexpr int kAnyId = -1;
constexpr int kAnyCode = -1;

template <class T>
struct CCommandEntry {
  int id;
  int code;
  CommandHandler<T> handler;
};

// Notification codes are unsigned and none is 0, so 0 means any.
constexpr UINT kAnyNotify = 0;

template <class T>
struct CNotifyEntry {
  int id;
  UINT code;
  NotifyHandler<T> handler;
};

template <class T, size_t N>
bool RouteMessage(T* self, const CMessageEntry<T> (&table)[N], UINT message, WPARAM wParam,
                  LPARAM lParam, LRESULT& result) {
  for (const CMessageEntry<T>& entry : table) {
    if (message < entry.first || message > entry.last) continue;
    bool handled = true;
    const LRESULT answer = (self->*entry.handler)(message, wParam, lParam, handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  return false;
}

template <class T, size_t N>
bool RouteCommand(T* self, const CCommandEntry<T> (&table)[N], UINT message, WPARAM wParam,
                  LPARAM lParam, LRESULT& result) {
  if (message != WM_COMMAND) return false;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  for (const CCommandEntry<T>& entry : table) {
    if ((entry.id != kAnyId && entry.id != id) || (entry.code != kAnyCode && entry.code != code))
      continue;
    bool handled = true;
    const LRESULT answer = (self->*entry.handler)(static_cast<WORD>(code), static_cast<WORD>(id),
                                                  reinterpret_cast<HWND>(lParam), handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  return false;
}

template <class T, size_t N>
bool RouteNotify(T* self, const CNotifyEntry<T> (&table)[N], UINT message, WPARAM wParam,
                 LPARAM lParam, LRESULT& result) {
  if (message != WM_NOTIFY || lParam == 0) return false;
  NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
  for (const CNotifyEntry<T>& entry : table) {
    if ((entry.id != kAnyId && entry.id != static_cast<int>(wParam)) ||
        (entry.code != kAnyNotify && entry.code != header->code))
      continue;
    bool handled = true;
    const LRESULT answer = (self->*entry.handler)(static_cast<int>(wParam), header, handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  return false;
}

// The notifications a child sends its parent (commands, notifies, owner
// drawing, scrolling, the seven WM_CTLCOLOR... requests). A container that
// is not the one acting on them passes them up with this.
bool IsChildNotification(UINT message);
// Sends a child notification on to hWnd's parent unchanged and hands back
// the parent's answer; false for any other message.
bool ForwardNotificationToParent(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result);

// A control that answers some of its own notifications (a virtual list view
// gives the texts of its rows) marks its window with AnswerOwnNotifications.
// A window of this framework that receives WM_NOTIFY from such a control
// hands it to the control first, as kOwnNotification with lParam pointing to
// a COwnNotification; only what the control leaves unanswered goes on to the
// window's own handling. So the control works under any parent.
constexpr UINT kOwnNotification = WM_APP + 0x3F00;

struct COwnNotification {
  NMHDR* header;
  LRESULT result;
  bool answered;
};

// Marks (or unmarks, before the control is destroyed) control as answering
// its own notifications.
void AnswerOwnNotifications(HWND control, bool answers);
// WM_NOTIFY's lParam: true, with the result, when the sending control
// answered the notification itself.
bool LetControlAnswer(LPARAM lParam, LRESULT& result);
