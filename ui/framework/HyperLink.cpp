#include "ui/framework/HyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr wchar_t kColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr UINT kToolId = 1;
// Room of a colour value: "255,255,255" and its terminator.
constexpr DWORD kColorChars = 12;

bool ReadColorValue(HKEY key, const wchar_t* name, COLORREF& colour) {
  wchar_t value[kColorChars] = {};
  DWORD type = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  value[kColorChars - 1] = L'\0';
  return CHyperLink::ParseColor(ui::Narrow1251(value).c_str(), colour);
}

// A static that shows an icon, a bitmap, a frame or a filled rectangle is
// left to paint itself.
bool IsTextStatic(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  return type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

}  // namespace

CHyperLink::~CHyperLink() { Release(); }

bool CHyperLink::ParseColor(const char* text, COLORREF& colour) {
  if (!text) return false;
  const char* first = std::strchr(text, ',');
  if (!first) return false;
  const char* second = std::strchr(first + 1, ',');
  if (!second || second[1] == '\0') return false;
  const int red = std::atoi(text) & 0xFF;
  const int green = std::atoi(first + 1) & 0xFF;
  const int blue = std::atoi(second + 1) & 0xFF;
  colour = RGB(red, green, blue);
  return true;
}

bool CHyperLink::SubclassWindow(HWND hWnd) {
  if (!CWindowImpl<CHyperLink>::SubclassWindow(hWnd)) return false;
  ModifyStyle(0, SS_NOTIFY);
  m_hCursor = LoadCursorW(nullptr, IDC_HAND);
  HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(hWnd), WM_GETFONT, 0, 0));
  m_hNormalFont = dialogFont ? dialogFont : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  CreateUnderlinedFont(m_hNormalFont);
  m_hWndToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd,
                                  nullptr, GetAppModule().GetModuleInstance(), nullptr);
  if (m_label.empty()) m_label = GetWindowText1251();
  CalcLinkRect();
  if (m_target.empty()) m_target = m_label;
  UpdateTool();
  ReadColors();
  return true;
}

void CHyperLink::SetHyperLink(const char* target) {
  m_target = target ? target : "";
  if (m_hWnd) UpdateTool();
}

void CHyperLink::CreateUnderlinedFont(HFONT base) {
  LOGFONTW font{};
  GetObjectW(base, sizeof(font), &font);
  font.lfUnderline = TRUE;
  if (m_hFont) DeleteObject(m_hFont);
  m_hFont = CreateFontIndirectW(&font);
}

void CHyperLink::CalcLinkRect() {
  RECT client{};
  GetClientRect(&client);
  HDC dc = GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, m_hFont);
  RECT text = client;
  const std::wstring label = ui::Wide1251(m_label);
  DrawTextW(dc, label.c_str(), -1, &text, DT_WORDBREAK | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  const LONG free = (client.right - client.left) - (text.right - text.left);
  const DWORD align = GetStyle() & SS_TYPEMASK;
  if (align == SS_CENTER) OffsetRect(&text, free / 2, 0);
  if (align == SS_RIGHT) OffsetRect(&text, free, 0);
  m_rcLink = text;
}

// The tooltip shows the current target: a later SetHyperLink (the mail
// link's "mailto:") replaces the text of the one tool.
void CHyperLink::UpdateTool() {
  if (!m_hWndToolTip) return;
  const std::wstring target = ui::Wide1251(m_target);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = m_hWnd;
  tool.uId = kToolId;
  tool.rect = m_rcLink;
  tool.lpszText = const_cast<wchar_t*>(target.c_str());
  ::SendMessageW(m_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
  ::SendMessageW(m_hWndToolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_hWndToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::ReadColors() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kColorKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  ReadColorValue(key, L"Anchor Color", m_clrLink);
  ReadColorValue(key, L"Anchor Color Visited", m_clrVisited);
  RegCloseKey(key);
}

bool CHyperLink::PointInLink(LPARAM lParam) const {
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&m_rcLink, point) != FALSE;
}

bool CHyperLink::OpenTarget() {
  const std::wstring target = ui::Wide1251(m_target);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

void CHyperLink::Navigate() {
  if (!OpenTarget()) return;
  m_visited = true;
  Invalidate();
}

void CHyperLink::Paint(HDC dc) {
  RECT client{};
  GetClientRect(&client);
  HBRUSH background = reinterpret_cast<HBRUSH>(
      ::SendMessageW(GetParent(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(m_hWnd)));
  if (background) FillRect(dc, &client, background);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, m_hFont);
  COLORREF colour = m_visited ? m_clrVisited : m_clrLink;
  if (!::IsWindowEnabled(m_hWnd)) colour = GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(dc, colour);
  const DWORD align = GetStyle() & SS_TYPEMASK;
  const UINT format = DT_WORDBREAK | (align == SS_CENTER ? DT_CENTER : align == SS_RIGHT ? DT_RIGHT : DT_LEFT);
  const std::wstring label = ui::Wide1251(m_label);
  DrawTextW(dc, label.c_str(), -1, &client, format);
  if (::GetFocus() == m_hWnd) DrawFocusRect(dc, &m_rcLink);
  SelectObject(dc, old);
}

void CHyperLink::Release() {
  if (m_hWndToolTip) ::DestroyWindow(m_hWndToolTip);
  m_hWndToolTip = nullptr;
  if (m_hFont) DeleteObject(m_hFont);
  m_hFont = nullptr;
}

bool CHyperLink::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
  static constexpr CMessageEntry<CHyperLink> kMessages[] = {
      {WM_MOUSEFIRST, WM_MOUSELAST, &CHyperLink::OnMouse},
      {WM_PAINT, WM_PAINT, &CHyperLink::OnPaint},
      {WM_PRINTCLIENT, WM_PRINTCLIENT, &CHyperLink::OnPrintClient},
      {WM_ERASEBKGND, WM_ERASEBKGND, &CHyperLink::OnEraseBackground},
      {WM_SETFOCUS, WM_KILLFOCUS, &CHyperLink::OnRepaintState},
      {WM_ENABLE, WM_ENABLE, &CHyperLink::OnRepaintState},
      {WM_SETCURSOR, WM_SETCURSOR, &CHyperLink::OnSetCursor},
      {WM_LBUTTONDOWN, WM_LBUTTONDOWN, &CHyperLink::OnButtonDown},
      {WM_LBUTTONUP, WM_LBUTTONUP, &CHyperLink::OnButtonUp},
      {WM_GETDLGCODE, WM_GETDLGCODE, &CHyperLink::OnGetDlgCode},
      {WM_CHAR, WM_CHAR, &CHyperLink::OnChar},
      {WM_GETFONT, WM_GETFONT, &CHyperLink::OnGetFont},
      {WM_SETFONT, WM_SETFONT, &CHyperLink::OnSetFont},
      {WM_DESTROY, WM_DESTROY, &CHyperLink::OnDestroy},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

LRESULT CHyperLink::OnPaint(UINT, WPARAM, LPARAM, bool& handled) {
  if (!IsTextStatic(GetStyle())) {
    handled = false;
    return 0;
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);
  Paint(dc);
  EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CHyperLink::OnPrintClient(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (!IsTextStatic(GetStyle())) {
    handled = false;
    return 0;
  }
  Paint(reinterpret_cast<HDC>(wParam));
  return 0;
}

LRESULT CHyperLink::OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return 1; }

LRESULT CHyperLink::OnRepaintState(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT result = DefWindowProc(message, wParam, lParam);
  Invalidate();
  return result;
}

// Every mouse message also reaches the tooltip; the first entry of the
// table relays it and lets the specific handlers below run.
LRESULT CHyperLink::OnMouse(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (m_hWndToolTip) {
    MSG relay{m_hWnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    ::SendMessageW(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  handled = false;
  return 0;
}

LRESULT CHyperLink::OnSetCursor(UINT, WPARAM, LPARAM, bool& handled) {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(m_hWnd, &point);
  if (!PtInRect(&m_rcLink, point)) {
    handled = false;
    return 0;
  }
  SetCursor(m_hCursor);
  return TRUE;
}

LRESULT CHyperLink::OnButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
  if (PointInLink(lParam)) {
    SetFocus();
    SetCapture(m_hWnd);
  }
  return 0;
}

LRESULT CHyperLink::OnButtonUp(UINT, WPARAM, LPARAM lParam, bool&) {
  if (GetCapture() != m_hWnd) return 0;
  ReleaseCapture();
  if (PointInLink(lParam)) Navigate();
  return 0;
}

LRESULT CHyperLink::OnGetDlgCode(UINT, WPARAM, LPARAM, bool&) { return DLGC_WANTCHARS; }

LRESULT CHyperLink::OnChar(UINT, WPARAM wParam, LPARAM, bool&) {
  if (wParam == VK_RETURN || wParam == VK_SPACE) Navigate();
  return 0;
}

LRESULT CHyperLink::OnGetFont(UINT, WPARAM, LPARAM, bool&) {
  return reinterpret_cast<LRESULT>(m_hNormalFont);
}

LRESULT CHyperLink::OnSetFont(UINT, WPARAM wParam, LPARAM lParam, bool&) {
  m_hNormalFont = reinterpret_cast<HFONT>(wParam);
  CreateUnderlinedFont(m_hNormalFont);
  CalcLinkRect();
  UpdateTool();
  if (LOWORD(lParam)) Invalidate();
  return 0;
}

LRESULT CHyperLink::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  Release();
  return DefWindowProc(message, wParam, lParam);
}
