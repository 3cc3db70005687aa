#include "ui/framework/Splitter.h"

#include <algorithm>

HWND CSplitterWindowBase::CreateSplitter(CWndClassInfo& info, HWND parent, const RECT* rect, const wchar_t* name,
                                         DWORD style, DWORD exStyle) {
  m_barWidth = std::max(4, GetSystemMetrics(m_vertical ? SM_CXSIZEFRAME : SM_CYSIZEFRAME));
  // The class cursor would show over the panes' margins too; the bar sets
  // its own in WM_SETCURSOR.
  info.cursor = IDC_ARROW;
  const ATOM atom = framework_detail::RegisterWndClass(info, &WindowProc);
  return CreateFromClass(atom, nullptr, parent, rect, name,
                         CControlWinTraits::GetWndStyle(style), exStyle, 0, nullptr);
}

void CSplitterWindowBase::SetSplitterPanes(HWND first, HWND second, bool update) {
  m_panes[kTopPane] = first;
  m_panes[kBottomPane] = second;
  if (update) UpdateSplitterLayout();
}

int CSplitterWindowBase::Extent() const {
  RECT client{};
  GetClientRect(&client);
  return m_vertical ? client.right : client.bottom;
}

void CSplitterWindowBase::SetSplitterPos(int position, bool update) {
  const int extent = Extent();
  if (position == -1) position = (extent - m_barWidth) / 2;
  m_position = std::max(0, std::min(position, extent - m_barWidth));
  if (update) UpdateSplitterLayout();
}

RECT CSplitterWindowBase::BarRect() const {
  RECT client{};
  GetClientRect(&client);
  if (m_vertical) return RECT{m_position, 0, m_position + m_barWidth, client.bottom};
  return RECT{0, m_position, client.right, m_position + m_barWidth};
}

void CSplitterWindowBase::UpdateSplitterLayout() {
  if (m_position < 0) SetSplitterPos(-1, false);
  RECT client{};
  GetClientRect(&client);
  const RECT bar = BarRect();
  RECT first = client;
  RECT second = client;
  if (m_vertical) {
    first.right = bar.left;
    second.left = bar.right;
  } else {
    first.bottom = bar.top;
    second.top = bar.bottom;
  }
  const RECT parts[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    if (!m_panes[i]) continue;
    ::SetWindowPos(m_panes[i], nullptr, parts[i].left, parts[i].top, parts[i].right - parts[i].left,
                   std::max<LONG>(0, parts[i].bottom - parts[i].top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(&bar);
}

bool CSplitterWindowBase::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam,
                                               LPARAM lParam, LRESULT& result) {
  using Self = CSplitterWindowBase;
  static constexpr CMessageEntry<Self> kMessages[] = {
      {WM_SIZE, WM_SIZE, &Self::OnSize},
      {WM_PAINT, WM_PAINT, &Self::OnPaint},
      {WM_ERASEBKGND, WM_ERASEBKGND, &Self::OnEraseBackground},
      {WM_SETCURSOR, WM_SETCURSOR, &Self::OnSetCursor},
      {WM_LBUTTONDOWN, WM_LBUTTONDOWN, &Self::OnButtonDown},
      {WM_MOUSEMOVE, WM_MOUSEMOVE, &Self::OnMouseMove},
      {WM_LBUTTONUP, WM_LBUTTONUP, &Self::OnButtonUp},
      {WM_CAPTURECHANGED, WM_CAPTURECHANGED, &Self::OnCaptureChanged},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         ForwardNotificationToParent(hWnd, message, wParam, lParam, result);
}

// With SPLIT_BOTTOMALIGNED the bar moves by the change of the extent, so
// the second pane keeps its size.
LRESULT CSplitterWindowBase::OnSize(UINT, WPARAM wParam, LPARAM, bool&) {
  if (wParam == SIZE_MINIMIZED) return 0;
  const int extent = Extent();
  if (m_position >= 0 && m_extent >= 0) {
    if (m_extendedStyle & SPLIT_BOTTOMALIGNED)
      SetSplitterPos(m_position + extent - m_extent, false);
    else if ((m_extendedStyle & SPLIT_PROPORTIONAL) && m_extent > 0)
      SetSplitterPos(MulDiv(m_position, extent, m_extent), false);
  }
  m_extent = extent;
  UpdateSplitterLayout();
  return 0;
}

LRESULT CSplitterWindowBase::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(m_hWnd, &paint);
  RECT bar = BarRect();
  FillRect(dc, &bar, GetSysColorBrush(COLOR_3DFACE));
  EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CSplitterWindowBase::OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return 1; }

int CSplitterWindowBase::Along(LPARAM point) const {
  return m_vertical ? static_cast<short>(LOWORD(point)) : static_cast<short>(HIWORD(point));
}

bool CSplitterWindowBase::IsOverBar(LPARAM point) const {
  const int along = Along(point);
  return along >= m_position && along < m_position + m_barWidth;
}

LRESULT CSplitterWindowBase::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(m_hWnd, &cursor);
  if (reinterpret_cast<HWND>(wParam) != m_hWnd || LOWORD(lParam) != HTCLIENT ||
      !IsOverBar(MAKELPARAM(cursor.x, cursor.y))) {
    handled = false;
    return 0;
  }
  SetCursor(LoadCursorW(nullptr, m_vertical ? IDC_SIZEWE : IDC_SIZENS));
  return TRUE;
}

LRESULT CSplitterWindowBase::OnButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
  if (!IsOverBar(lParam)) return 0;
  m_dragOffset = Along(lParam) - m_position;
  SetCapture(m_hWnd);
  return 0;
}

LRESULT CSplitterWindowBase::OnMouseMove(UINT, WPARAM, LPARAM lParam, bool&) {
  if (m_dragOffset < 0 || GetCapture() != m_hWnd) return 0;
  const int position = Along(lParam) - m_dragOffset;
  if (position == m_position) return 0;
  InvalidateRect(nullptr, true);
  SetSplitterPos(position, true);
  UpdateWindow();
  return 0;
}

LRESULT CSplitterWindowBase::OnButtonUp(UINT, WPARAM, LPARAM, bool&) {
  if (GetCapture() == m_hWnd) ReleaseCapture();
  m_dragOffset = -1;
  return 0;
}

LRESULT CSplitterWindowBase::OnCaptureChanged(UINT, WPARAM, LPARAM, bool&) {
  m_dragOffset = -1;
  return 0;
}
