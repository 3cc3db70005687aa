#include "ui/framework/Window.h"

namespace {

bool ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
  const DWORD old = static_cast<DWORD>(GetWindowLongPtrW(hWnd, index));
  const DWORD value = (old & ~remove) | add;
  if (value == old) return false;
  SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(value));
  if (swpFlags != 0) {
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  }
  return true;
}

// Shifts [low, low + size) by as little as needed to lie inside [min, max).
LONG KeepInside(LONG low, LONG size, LONG min, LONG max) {
  if (low + size > max) low = max - size;
  if (low < min) low = min;
  return low;
}

}  // namespace

bool CWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
  return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

bool CWindow::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) const {
  return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

bool CWindow::DestroyWindow() {
  if (!::DestroyWindow(m_hWnd)) return false;
  m_hWnd = nullptr;
  return true;
}

bool CWindow::CenterWindow(HWND parent) const {
  if (!parent) parent = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  RECT self{};
  if (!GetWindowRect(&self)) return false;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(parent ? parent : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT around = work;
  if (parent && ::IsWindowVisible(parent) && !::IsIconic(parent)) ::GetWindowRect(parent, &around);
  const LONG width = self.right - self.left;
  const LONG height = self.bottom - self.top;
  LONG x = KeepInside((around.left + around.right - width) / 2, width, work.left, work.right);
  LONG y = KeepInside((around.top + around.bottom - height) / 2, height, work.top, work.bottom);
  if (GetStyle() & WS_CHILD) {
    POINT origin{x, y};
    ::ScreenToClient(::GetParent(m_hWnd), &origin);
    x = origin.x;
    y = origin.y;
  }
  return SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWindow::TextWidth(const std::string& text) const {
  const std::wstring wide = ui::Wide1251(text);
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, GetFont());
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  return size.cx;
}
