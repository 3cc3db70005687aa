// The command bar's keyboard: Alt alone or F10 give it the keys, the arrows
// move between its buttons, a mnemonic opens its popup.
#include <cwctype>

#include "ui/framework/CommandBarCtrl.h"

// Alt alone, F10, Alt with a letter, and the keys while the bar has the
// keyboard. Only messages for windows of the bar's own top-level window.
bool CCommandBarCtrlBase::PreTranslateMessage(MSG* message) {
  if (!m_hWnd || !m_hMenu || !message->hwnd || ::GetAncestor(message->hwnd, GA_ROOT) != m_hWndNotify)
    return false;
  if (m_keyboardMode && OnKeyboardModeMessage(*message)) return true;
  return OnAltMessage(*message);
}

bool CCommandBarCtrlBase::OnAltMessage(const MSG& message) {
  constexpr LPARAM kRepeat = 1 << 30;
  switch (message.message) {
    case WM_SYSKEYDOWN:
      if (message.wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000)) {
        m_keyboardMode ? LeaveKeyboardMode() : EnterKeyboardMode();
        return true;
      }
      if (message.wParam == VK_MENU) {
        if (!(message.lParam & kRepeat)) m_altAlone = true;
        return false;
      }
      m_altAlone = false;
      return false;
    case WM_KEYDOWN:
      m_altAlone = false;
      return false;
    case WM_SYSKEYUP:
      if (message.wParam != VK_MENU || !m_altAlone) return false;
      m_altAlone = false;
      m_keyboardMode ? LeaveKeyboardMode() : EnterKeyboardMode();
      return true;
    case WM_SYSCHAR: {
      const wchar_t letter = static_cast<wchar_t>(message.wParam);
      if (!std::iswalnum(letter)) return false;
      const int index = FindMnemonic(letter);
      if (index < 0) {
        MessageBeep(0);
        return true;
      }
      if (m_keyboardMode) LeaveKeyboardMode();
      TrackBarPopup(index, true);
      return true;
    }
    default:
      return false;
  }
}

bool CCommandBarCtrlBase::OnKeyboardModeMessage(const MSG& message) {
  const int count = ButtonCount();
  if (message.message == WM_KEYDOWN) {
    switch (message.wParam) {
      case VK_LEFT:
      case VK_RIGHT:
        SetHotButton((m_hotIndex + (message.wParam == VK_LEFT ? count - 1 : 1)) % count);
        return true;
      case VK_DOWN:
      case VK_UP:
      case VK_RETURN: {
        const int index = m_hotIndex;
        LeaveKeyboardMode();
        TrackBarPopup(index, true);
        return true;
      }
      case VK_ESCAPE:
        LeaveKeyboardMode();
        return true;
      default:
        return false;  // WM_CHAR follows for letters
    }
  }
  if (message.message == WM_CHAR) {
    const int index = FindMnemonic(static_cast<wchar_t>(message.wParam));
    if (index < 0) {
      MessageBeep(0);
      return true;
    }
    LeaveKeyboardMode();
    TrackBarPopup(index, true);
    return true;
  }
  if (message.message == WM_LBUTTONDOWN || message.message == WM_NCLBUTTONDOWN ||
      message.message == WM_RBUTTONDOWN)
    LeaveKeyboardMode();
  return false;
}

void CCommandBarCtrlBase::EnterKeyboardMode() {
  if (ButtonCount() == 0) return;
  m_keyboardMode = true;
  m_focusBefore = ::GetFocus();
  SetHotButton(0);
  Invalidate();
}

void CCommandBarCtrlBase::LeaveKeyboardMode() {
  m_keyboardMode = false;
  SetHotButton(-1);
  if (m_focusBefore && ::IsWindow(m_focusBefore)) ::SetFocus(m_focusBefore);
  m_focusBefore = nullptr;
  Invalidate();
}

void CCommandBarCtrlBase::SetHotButton(int index) {
  m_hotIndex = index;
  SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index));
}
