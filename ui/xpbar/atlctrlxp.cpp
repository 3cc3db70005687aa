#include "ui/xpbar/atlctrlxp.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

XPSTYLE CCommandBarXPCtrlBase::m_xpstyle{};
CCommandBarXPCtrlBase* CCommandBarXPCtrlBase::s_pCurrentBar = nullptr;
HHOOK CCommandBarXPCtrlBase::s_hCreateHook = nullptr;
std::mutex CCommandBarXPCtrlBase::s_colorLock;
std::mutex CCommandBarXPCtrlBase::s_trackLock;

namespace {
constexpr wchar_t kMenuClass[] = L"#32768";
}  // namespace

XPSystemColors XPSystemColors::Current() {
  return XPSystemColors{GetSysColor(COLOR_WINDOW),     GetSysColor(COLOR_WINDOWTEXT),
                        GetSysColor(COLOR_BTNFACE),    GetSysColor(COLOR_HIGHLIGHT),
                        GetSysColor(COLOR_GRAYTEXT),   GetSysColor(COLOR_MENUTEXT),
                        GetSysColor(COLOR_BTNTEXT),    GetSysColor(COLOR_WINDOWFRAME)};
}

namespace xpbar {

COLORREF Blend(COLORREF a, COLORREF b, int percent) {
  auto channel = [percent](int from, int to) { return (from + (to - from) * percent / 100) & 0xFF; };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

// On a palette screen blends would dither; the plain colours are used.
XPSTYLE ComputeXPColors(const XPSystemColors& s, int bitsPerPixel) {
  XPSTYLE x{};
  const bool blended = bitsPerPixel > 8;
  x.clrFrame = s.windowFrame;
  x.clrBackground = blended ? Blend(s.window, s.windowText, 3) : s.window;
  x.clrButton = blended ? Blend(s.buttonFace, s.window, 20) : s.buttonFace;
  x.clrHighlightBorder = s.highlight;
  x.clrSelection = blended ? Blend(s.highlight, s.window, 70) : s.window;
  x.clrChecked = blended ? Blend(s.highlight, s.window, 60) : s.window;
  x.clrPressed = blended ? Blend(x.clrSelection, s.windowText, 20) : s.highlight;
  x.clrDisabledText = s.grayText;
  x.clrMenuText = s.windowText;
  x.clrSelMenuText = s.menuText;
  x.clrButtonText = s.buttonText;
  x.clrHotButtonText = s.menuText;
  x.clrShadow = blended ? Blend(s.buttonFace, s.windowText, 35) : s.grayText;
  return x;
}

SIZE MeasurePopupItem(bool separator, int textWidth, const PopupItemMetrics& metrics) {
  if (separator) return SIZE{0, 5};
  const int height = std::max(std::abs(metrics.menuFontHeight) + 10, int(metrics.button.cy) + 2);
  return SIZE{textWidth + 2 * metrics.button.cx + 14 - metrics.checkWidth, height};
}

}  // namespace xpbar

void CCommandBarXPCtrlBase::UpdateXPColors() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  const XPSTYLE colours = xpbar::ComputeXPColors(XPSystemColors::Current(), bits);
  std::lock_guard<std::mutex> guard(s_colorLock);
  m_xpstyle = colours;
}

void CCommandBarXPCtrlBase::PrepareReBar() {
  UpdateXPColors();
  HWND reBar = GetParent();
  const int count = static_cast<int>(::SendMessageW(reBar, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_STYLE;
    ::SendMessageW(reBar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
    if (band.hwndChild == m_hWnd) {
      band.fMask = RBBIM_STYLE;
      band.fStyle = (band.fStyle | RBBS_NOGRIPPER) & ~RBBS_GRIPPERALWAYS;
    } else {
      band.fMask = RBBIM_COLORS;
      band.clrFore = CLR_DEFAULT;
      band.clrBack = m_xpstyle.clrButton;
    }
    ::SendMessageW(reBar, RB_SETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
  }
  // Hiding and showing band 0 makes the rebar lay its bands out anew.
  ::SendMessageW(reBar, RB_SHOWBAND, 0, FALSE);
  ::SendMessageW(reBar, RB_SHOWBAND, 0, TRUE);
}

void CCommandBarXPCtrlBase::AddToolbar(HWND toolBar) {
  m_toolBars.push_back(toolBar);
  const DWORD extended = static_cast<DWORD>(::SendMessageW(toolBar, TB_GETEXTENDEDSTYLE, 0, 0));
  ::SendMessageW(toolBar, TB_SETEXTENDEDSTYLE, 0, extended & ~TBSTYLE_EX_HIDECLIPPEDBUTTONS);
}

bool CCommandBarXPCtrlBase::IsListedToolBar(HWND hWnd) const {
  return std::find(m_toolBars.begin(), m_toolBars.end(), hWnd) != m_toolBars.end();
}

bool CCommandBarXPCtrlBase::ProcessParentMessage(UINT message, WPARAM, LPARAM lParam,
                                                 LRESULT& result) {
  if (message != WM_NOTIFY || !m_hWnd || lParam == 0) return false;
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  const bool isBar = header->hwndFrom == m_hWnd;
  const bool isToolBar = IsListedToolBar(header->hwndFrom);
  if (header->code == TBN_DROPDOWN && isToolBar) {
    const auto* drop = reinterpret_cast<const NMTOOLBARW*>(header);
    m_rcJoint = drop->rcButton;
    ::MapWindowPoints(header->hwndFrom, nullptr, reinterpret_cast<POINT*>(&m_rcJoint), 2);
    m_dropDown = true;
    return false;
  }
  if (header->code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
  if (isBar || isToolBar) {
    result = OnToolBarCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header), isBar);
    return true;
  }
  if (header->hwndFrom == GetParent()) {
    result = OnReBarCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(header));
    return true;
  }
  return false;
}

bool CCommandBarXPCtrlBase::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, LRESULT& result) {
  // The toolbar control sends NM_CUSTOMDRAW for itself to its parent; the
  // frame hands it back through ProcessParentMessage.
  return CCommandBarCtrlBase::ProcessWindowMessage(hWnd, message, wParam, lParam, result);
}

void CCommandBarXPCtrlBase::OnSettingChange() {
  UpdateXPColors();
  CCommandBarCtrlBase::OnSettingChange();
}

BOOL CCommandBarXPCtrlBase::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y,
                                             TPMPARAMS* params, bool fromBar) {
  std::lock_guard<std::mutex> tracking(s_trackLock);
  s_pCurrentBar = this;
  s_hCreateHook = SetWindowsHookExW(WH_CBT, &CreateHookProc, nullptr, GetCurrentThreadId());
  if (fromBar && params) m_rcJoint = params->rcExclude;
  const BOOL result = CCommandBarCtrlBase::DoTrackPopupMenu(menu, flags, x, y, params, fromBar);
  if (s_hCreateHook) UnhookWindowsHookEx(s_hCreateHook);
  s_hCreateHook = nullptr;
  s_pCurrentBar = nullptr;
  m_rcJoint = RECT{};
  m_stackMenuWnd.clear();
  return result;
}

LRESULT CALLBACK CCommandBarXPCtrlBase::CreateHookProc(int code, WPARAM wParam, LPARAM lParam) {
  CCommandBarXPCtrlBase* bar = s_pCurrentBar;
  if (code < 0 || !bar) return CallNextHookEx(s_hCreateHook, code, wParam, lParam);
  HWND hWnd = reinterpret_cast<HWND>(wParam);
  wchar_t name[16] = {};
  if ((code == HCBT_CREATEWND || code == HCBT_DESTROYWND) && GetClassNameW(hWnd, name, 16) &&
      wcscmp(name, kMenuClass) == 0) {
    if (code == HCBT_CREATEWND) {
      bar->OnMenuWindowCreated(hWnd);
    } else {
      auto& stack = bar->m_stackMenuWnd;
      stack.erase(std::remove(stack.begin(), stack.end(), hWnd), stack.end());
    }
  }
  return CallNextHookEx(s_hCreateHook, code, wParam, lParam);
}

void CCommandBarXPCtrlBase::OnMenuWindowCreated(HWND hWnd) {
  m_stackMenuWnd.push_back(hWnd);
  auto* frame = new CFlatMenuWindow(m_rcJoint.right - m_rcJoint.left, m_xpstyle.clrFrame,
                                    m_xpstyle.clrBackground, m_xpstyle.clrButton);
  if (!frame->SubclassWindow(hWnd)) {
    delete frame;
  } else {
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Only the first popup joins the button; its submenus are closed boxes.
  m_rcJoint = RECT{};
}

CFlatMenuWindow::CFlatMenuWindow(int jointWidth, COLORREF frame, COLORREF background,
                                 COLORREF column)
    : m_jointWidth(jointWidth),
      m_clrFrame(frame),
      m_clrBackground(background),
      m_clrColumn(column),
      m_cxBorder(GetSystemMetrics(SM_CXDLGFRAME)),
      m_cyBorder(GetSystemMetrics(SM_CYDLGFRAME)) {}

bool CFlatMenuWindow::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
  static constexpr CMessageEntry<CFlatMenuWindow> kMessages[] = {
      {WM_NCPAINT, WM_NCPAINT, &CFlatMenuWindow::OnNcPaint},
      {WM_PAINT, WM_PAINT, &CFlatMenuWindow::OnPaint},
      {WM_PRINT, WM_PRINT, &CFlatMenuWindow::OnPrint},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

// Without a non-client area the border is the margin the menu keeps around
// its items; the first item shows how wide it is.
CFlatMenuWindow::CBorder CFlatMenuWindow::GetBorder() const {
  RECT window{};
  RECT client{};
  GetWindowRect(&window);
  GetClientRect(&client);
  const SIZE frame{((window.right - window.left) - client.right) / 2,
                   ((window.bottom - window.top) - client.bottom) / 2};
  if (frame.cx > 0 || frame.cy > 0) return CBorder{frame, false};
  auto* menu = reinterpret_cast<HMENU>(::SendMessageW(m_hWnd, MN_GETHMENU, 0, 0));
  RECT item{};
  if (menu && GetMenuItemRect(nullptr, menu, 0, &item) && item.left > window.left &&
      item.top > window.top)
    return CBorder{SIZE{item.left - window.left, item.top - window.top}, true};
  return CBorder{SIZE{m_cxBorder, m_cyBorder}, true};
}

LRESULT CFlatMenuWindow::OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const CBorder border = GetBorder();
  if (border.inClient) return DefWindowProc(message, wParam, lParam);
  HDC dc = ::GetWindowDC(m_hWnd);
  DrawFrame(dc, border.inset);
  ::ReleaseDC(m_hWnd, dc);
  return 0;
}

// A border inside the client area is painted by the menu with its items;
// the frame goes over it afterwards.
LRESULT CFlatMenuWindow::OnPaint(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT result = DefWindowProc(message, wParam, lParam);
  const CBorder border = GetBorder();
  if (border.inClient) {
    HDC dc = ::GetWindowDC(m_hWnd);
    DrawFrame(dc, border.inset);
    ::ReleaseDC(m_hWnd, dc);
  }
  return result;
}

LRESULT CFlatMenuWindow::OnPrint(UINT, WPARAM wParam, LPARAM lParam, bool&) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  const CBorder border = GetBorder();
  if ((lParam & PRF_NONCLIENT) && !border.inClient) DrawFrame(dc, border.inset);
  if (lParam & PRF_CLIENT) PrintClient(dc);
  if ((lParam & PRF_CLIENT) && border.inClient) DrawFrame(dc, border.inset);
  return 0;
}

// The outline, the image column's strip in the left border and the joint,
// outside the items' area (the window less inset on every side).
void CFlatMenuWindow::DrawFrame(HDC dc, SIZE inset) const {
  RECT window{};
  GetWindowRect(&window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, inset.cx, inset.cy, width - inset.cx, height - inset.cy);
  HPEN outline = CreatePen(PS_SOLID, 1, m_clrFrame);
  HBRUSH fill = CreateSolidBrush(m_clrBackground);
  SelectObject(dc, outline);
  SelectObject(dc, fill);
  Rectangle(dc, 0, 0, width, height);
  HBRUSH column = CreateSolidBrush(m_clrColumn);
  const RECT strip{1, m_cyBorder, m_cxBorder, height - m_cyBorder};
  FillRect(dc, &strip, column);
  HPEN joint = CreatePen(PS_SOLID, 1, m_clrColumn);
  if (m_jointWidth > 0) {
    // The button's own side lines, at 0 and w - 1, run on into the outline.
    SelectObject(dc, joint);
    MoveToEx(dc, 1, 0, nullptr);
    LineTo(dc, m_jointWidth - 1, 0);
  }
  RestoreDC(dc, saved);
  DeleteObject(joint);
  DeleteObject(column);
  DeleteObject(fill);
  DeleteObject(outline);
}

// For the menu animations: the menu's own drawing of its client area, put
// at the client's place in the window image.
void CFlatMenuWindow::PrintClient(HDC dc) const {
  RECT window{};
  RECT client{};
  GetWindowRect(&window);
  GetClientRect(&client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  ::CallWindowProcW(m_pfnSuperWindowProc, m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                    PRF_CLIENT);
  const int dx = ((window.right - window.left) - client.right) / 2;
  const int dy = ((window.bottom - window.top) - client.bottom) / 2;
  BitBlt(dc, dx, dy, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}
