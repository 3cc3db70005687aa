#pragma once
// CWindow: a window handle and the calls the program makes on it. It owns
// nothing: copying it copies the handle, destroying it leaves the window.
#include <windows.h>

#include <string>

#include "ui/framework/Text1251.h"

class CWindow {
 public:
  HWND m_hWnd = nullptr;

  CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
  CWindow& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }

  void Attach(HWND hWnd) { m_hWnd = hWnd; }
  HWND Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
  }
  bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
  }

  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
  // Removes, then adds style bits; with swpFlags, also runs SetWindowPos with
  // them (SWP_FRAMECHANGED to redraw the frame).
  bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
  bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const;

  // Texts in code page 1251.
  bool SetWindowText1251(const char* text) const { return ui::SetWindowText1251(m_hWnd, text); }
  std::string GetWindowText1251() const { return ui::GetWindowText1251(m_hWnd); }
  int GetWindowText1251(char* buffer, int size) const {
    return ui::GetWindowText1251(m_hWnd, buffer, size);
  }
  // In characters, which is also the 1251 length in bytes.
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

  bool GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect) != FALSE; }
  bool GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect) != FALSE; }
  bool MoveWindow(int x, int y, int width, int height, bool repaint = true) const {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
  }
  bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
  }
  bool ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
  bool DestroyWindow();
  bool Invalidate(bool erase = true) const { return ::InvalidateRect(m_hWnd, nullptr, erase) != FALSE; }
  bool InvalidateRect(const RECT* rect, bool erase = true) const {
    return ::InvalidateRect(m_hWnd, rect, erase) != FALSE;
  }
  bool UpdateWindow() const { return ::UpdateWindow(m_hWnd) != FALSE; }
  void SetRedraw(bool redraw) const { SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE); }
  bool EnableWindow(bool enable = true) const { return ::EnableWindow(m_hWnd, enable) != FALSE; }
  HWND SetFocus() const { return ::SetFocus(m_hWnd); }

  void SetFont(HFONT font, bool redraw = true) const {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw ? TRUE : FALSE, 0));
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  // The width in pixels of text (1251) on one line in the window's font.
  int TextWidth(const std::string& text) const;

  // Centres the window over parent (its owner or parent when null), moved
  // as little as needed to stay inside the work area of parent's monitor.
  bool CenterWindow(HWND parent = nullptr) const;
};
