#include "ui/framework/WaitCursor.h"

namespace {

// A window that paints nothing would be handed its WM_PAINT again and again.
constexpr int kMaxPaints = 64;

HCURSOR WaitingCursor() { return LoadCursorW(nullptr, IDC_WAIT); }

}  // namespace

CWaitCursor::CWaitCursor() : m_previous(SetCursor(WaitingCursor())) {}

CWaitCursor::~CWaitCursor() { SetCursor(m_previous); }

// Only WM_PAINT is taken from the queue: no click or key is handled in the
// middle of the work.
void CWaitCursor::KeepAlive() {
  SetCursor(WaitingCursor());
  MSG message;
  for (int i = 0; i < kMaxPaints && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
       ++i)
    DispatchMessageW(&message);
}
