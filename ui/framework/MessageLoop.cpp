#include "ui/framework/MessageLoop.h"

#include <algorithm>

namespace {

template <class P>
void RemoveFrom(std::vector<P*>& list, P* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// WM_SYSTIMER: the caret blink timer, undocumented but constant.
constexpr UINT kSysTimer = 0x0118;
constexpr UINT kIdleMessages[] = {WM_MOUSEMOVE, WM_NCMOUSEMOVE, WM_PAINT, kSysTimer};

}  // namespace

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { m_filters.push_back(filter); }
void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { RemoveFrom(m_filters, filter); }
void CMessageLoop::AddIdleHandler(CIdleHandler* handler) { m_idleHandlers.push_back(handler); }
void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { RemoveFrom(m_idleHandlers, handler); }

bool CMessageLoop::IsIdleMessage(const MSG& message) {
  return std::find(std::begin(kIdleMessages), std::end(kIdleMessages), message.message) !=
         std::end(kIdleMessages);
}

bool CMessageLoop::PreTranslateMessage(MSG* message) {
  // A copy: a filter may unregister itself (or another) while it runs.
  const std::vector<CMessageFilter*> filters = m_filters;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
    if ((*it)->PreTranslateMessage(message)) return true;
  }
  return false;
}

void CMessageLoop::OnIdle() {
  const std::vector<CIdleHandler*> handlers = m_idleHandlers;
  for (CIdleHandler* handler : handlers) handler->OnIdle();
}

int CMessageLoop::Run() {
  MSG message{};
  bool idlePending = true;
  for (;;) {
    if (idlePending && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      OnIdle();
      idlePending = false;
    }
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return -1;
    if (!got) return static_cast<int>(message.wParam);
    if (!PreTranslateMessage(&message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!IsIdleMessage(message)) idlePending = true;
  }
}

void WaitLettingSentMessagesIn(const std::function<bool()>& ended, DWORD sliceMs) {
  while (!ended()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, sliceMs, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
