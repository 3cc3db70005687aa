#include "ui/framework/FrameWindow.h"

#include <cwchar>
#include <vector>

#include "ui/framework/ToolBarResource.h"

namespace {

constexpr UINT kSystemCommandFirst = 0xF000;  // SC_SIZE
constexpr UINT kSystemPromptFirst = 61184;    // prompt of SC_SIZE in the string table
constexpr UINT kMenuClosed = 0xFFFF;
constexpr WPARAM kSimplePart = 255;  // SB_SETTEXT's index of the simple-mode text

// The string-table text of a command id; system commands have their own
// range of prompts, one per 16 command values.
UINT PromptIdOf(UINT id) {
  return id >= kSystemCommandFirst ? kSystemPromptFirst + ((id - kSystemCommandFirst) >> 4) : id;
}

SIZE ToolBarSize(HWND toolBar) {
  SIZE size{0, 0};
  const int count = static_cast<int>(::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
  RECT item{};
  if (count > 0 && ::SendMessageW(toolBar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&item)))
    size.cx = item.right;
  const DWORD buttonSize = static_cast<DWORD>(::SendMessageW(toolBar, TB_GETBUTTONSIZE, 0, 0));
  size.cy = HIWORD(buttonSize);
  return size;
}

}  // namespace

std::wstring CFrameWindowImplBase::LoadCommandText(UINT id, bool tooltip) {
  wchar_t buffer[256] = {};
  if (LoadStringW(GetAppModule().GetResourceInstance(), PromptIdOf(id), buffer, 256) <= 0) return {};
  const wchar_t* lineBreak = wcschr(buffer, L'\n');
  if (tooltip) return lineBreak ? std::wstring(lineBreak + 1) : std::wstring();
  return lineBreak ? std::wstring(buffer, static_cast<size_t>(lineBreak - buffer)) : std::wstring(buffer);
}

HWND CFrameWindowImplBase::CreateFrame(CWndClassInfo& info, UINT resourceId, HWND parent,
                                       const RECT* rect, DWORD style, DWORD exStyle,
                                       bool windowMenu) {
  const ATOM atom = framework_detail::RegisterWndClass(info, &WindowProc);
  HINSTANCE instance = GetAppModule().GetResourceInstance();
  wchar_t title[256] = {};
  LoadStringW(instance, resourceId, title, 256);
  m_hMenu = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
  HWND hWnd = CreateFromClass(atom, nullptr, parent, rect, title,
                              CFrameWinTraits::GetWndStyle(style),
                              CFrameWinTraits::GetWndExStyle(exStyle),
                              reinterpret_cast<UINT_PTR>(windowMenu ? m_hMenu : nullptr), nullptr);
  if (!hWnd && m_hMenu) {
    DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
  }
  return hWnd;
}

HWND CFrameWindowImplBase::CreateSimpleToolBarCtrl(HWND parent, UINT resourceId,
                                                   bool initialSeparator, DWORD style, UINT id) {
  HINSTANCE instance = GetAppModule().GetResourceInstance();
  CToolBarResource bar;
  if (!bar.Load(instance, resourceId)) return nullptr;
  HWND toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance,
                                 nullptr);
  if (!toolBar) return nullptr;
  ::SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(bar.imageWidth, bar.imageHeight));
  ::SendMessageW(toolBar, TB_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(CreateToolBarImageList(instance, resourceId, bar)));
  std::vector<TBBUTTON> buttons;
  if (initialSeparator) buttons.push_back(TBBUTTON{0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0});
  for (WORD command : bar.commands) {
    TBBUTTON button{};
    button.fsState = TBSTATE_ENABLED;
    if (command == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = bar.ImageOf(command);
      button.idCommand = command;
      button.fsStyle = BTNS_BUTTON;
    }
    button.iString = -1;
    buttons.push_back(button);
  }
  ::SendMessageW(toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageW(toolBar, TB_SETBUTTONSIZE, 0,
               MAKELPARAM(bar.imageWidth + 7, bar.imageHeight + 7));
  return toolBar;
}

bool CFrameWindowImplBase::CreateSimpleReBar(DWORD style, UINT id) {
  m_hWndToolBar = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100,
                                  m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  GetAppModule().GetModuleInstance(), nullptr);
  if (!m_hWndToolBar) return false;
  REBARINFO info{};
  info.cbSize = sizeof(info);
  ::SendMessageW(m_hWndToolBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

bool CFrameWindowImplBase::AddSimpleReBarBand(HWND child, const wchar_t* title, bool newRow,
                                              int cx, bool fullWidth) const {
  if (!m_hWndToolBar) return false;
  const SIZE size = ToolBarSize(child);
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_USECHEVRON | (newRow ? RBBS_BREAK : 0) |
                (fullWidth ? 0 : RBBS_GRIPPERALWAYS);
  if (title) {
    band.fMask |= RBBIM_TEXT;
    band.lpText = const_cast<wchar_t*>(title);
  }
  band.hwndChild = child;
  band.wID = static_cast<UINT>(::SendMessageW(m_hWndToolBar, RB_GETBANDCOUNT, 0, 0)) + 0xEB00;
  band.cxMinChild = 0;
  band.cyMinChild = size.cy;
  band.cyChild = size.cy;
  band.cxIdeal = size.cx;
  band.cx = cx != 0 ? cx : size.cx + 12;
  return ::SendMessageW(m_hWndToolBar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(&band)) != 0;
}

bool CFrameWindowImplBase::CreateSimpleStatusBar(UINT textId, DWORD style, UINT id) {
  wchar_t text[256] = {};
  LoadStringW(GetAppModule().GetResourceInstance(), textId, text, 256);
  m_hWndStatusBar = CreateStatusWindowW(static_cast<LONG>(style), text, m_hWnd, id);
  return m_hWndStatusBar != nullptr;
}

int CFrameWindowImplBase::TopBarHeight() {
  if (!m_hWndToolBar || !::IsWindowVisible(m_hWndToolBar)) return 0;
  ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
  RECT bar{};
  ::GetWindowRect(m_hWndToolBar, &bar);
  return bar.bottom - bar.top;
}

void CFrameWindowImplBase::UpdateLayout() {
  // Sizing the rebar makes it report its new size (RBN_AUTOSIZE), which
  // asks for this layout again.
  if (m_inLayout) return;
  m_inLayout = true;
  RECT rect{};
  GetClientRect(&rect);
  rect.top += TopBarHeight();
  if (m_hWndStatusBar && ::IsWindowVisible(m_hWndStatusBar)) {
    ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
    RECT status{};
    ::GetWindowRect(m_hWndStatusBar, &status);
    rect.bottom -= status.bottom - status.top;
  }
  if (m_hWndClient) {
    ::SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom > rect.top ? rect.bottom - rect.top : 0,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  m_inLayout = false;
}

bool CFrameWindowImplBase::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                                LRESULT& result) {
  using Self = CFrameWindowImplBase;
  static constexpr CMessageEntry<Self> kMessages[] = {
      {WM_SIZE, WM_SIZE, &Self::OnSize},
      {WM_ERASEBKGND, WM_ERASEBKGND, &Self::OnEraseBackground},
      {WM_MENUSELECT, WM_MENUSELECT, &Self::OnMenuSelect},
      {WM_SETFOCUS, WM_SETFOCUS, &Self::OnSetFocus},
      {WM_DESTROY, WM_DESTROY, &Self::OnDestroy},
  };
  static constexpr CNotifyEntry<Self> kNotifications[] = {
      {kAnyId, TTN_GETDISPINFOW, &Self::OnToolTipText},
      {kAnyId, RBN_AUTOSIZE, &Self::OnReBarAutoSize},
      {kAnyId, RBN_CHEVRONPUSHED, &Self::OnChevronPushed},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteNotify(this, kNotifications, message, wParam, lParam, result);
}

LRESULT CFrameWindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (wParam != SIZE_MINIMIZED) UpdateLayout();
  handled = false;
  return 0;
}

LRESULT CFrameWindowImplBase::OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled) {
  // The client window covers the whole area between the bars.
  handled = m_hWndClient != nullptr;
  return 1;
}

LRESULT CFrameWindowImplBase::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  if (!m_hWndStatusBar) return 0;
  const UINT flags = HIWORD(wParam);
  if (flags == kMenuClosed && lParam == 0)
    EndMenuPrompt();
  else
    ShowMenuPrompt(LOWORD(wParam), flags);
  return 0;
}

// The prompt goes into the status bar's simple mode, so the text of part 0
// (which the worker may change meanwhile) is kept underneath it.
void CFrameWindowImplBase::ShowMenuPrompt(UINT id, UINT flags) {
  std::wstring prompt;
  if (!(flags & (MF_POPUP | MF_SEPARATOR))) prompt = LoadCommandText(id, false);
  if (!m_menuPrompt) {
    ::SendMessageW(m_hWndStatusBar, SB_SIMPLE, TRUE, 0);
    m_menuPrompt = true;
  }
  ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, kSimplePart | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(prompt.c_str()));
}

void CFrameWindowImplBase::EndMenuPrompt() {
  if (!m_menuPrompt) return;
  ::SendMessageW(m_hWndStatusBar, SB_SIMPLE, FALSE, 0);
  m_menuPrompt = false;
}

LRESULT CFrameWindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  if (m_hWndClient && ::IsWindow(m_hWndClient)) ::SetFocus(m_hWndClient);
  handled = false;
  return 0;
}

LRESULT CFrameWindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  if (!(GetStyle() & WS_CHILD)) ::PostQuitMessage(1);
  handled = false;
  return 0;
}

LRESULT CFrameWindowImplBase::OnToolTipText(int, NMHDR* header, bool& handled) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  if (info->uFlags & TTF_IDISHWND) {
    handled = false;
    return 0;
  }
  const std::wstring tip = LoadCommandText(static_cast<UINT>(header->idFrom), true);
  const size_t room = sizeof(info->szText) / sizeof(info->szText[0]);
  wcsncpy(info->szText, tip.c_str(), room - 1);
  info->szText[room - 1] = L'\0';
  info->lpszText = info->szText;
  info->hinst = nullptr;
  return 0;
}

LRESULT CFrameWindowImplBase::OnReBarAutoSize(int, NMHDR*, bool&) {
  UpdateLayout();
  return 0;
}

// The buttons of the band's toolbar that the band cuts off, as a menu under
// the chevron; the chosen command goes to the frame.
LRESULT CFrameWindowImplBase::OnChevronPushed(int, NMHDR* header, bool&) {
  const auto* chevron = reinterpret_cast<const NMREBARCHEVRON*>(header);
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD;
  if (!::SendMessageW(header->hwndFrom, RB_GETBANDINFOW, chevron->uBand,
                      reinterpret_cast<LPARAM>(&band)) || !band.hwndChild)
    return 0;
  RECT visible{};
  ::GetClientRect(band.hwndChild, &visible);
  HMENU menu = CreatePopupMenu();
  const int count = static_cast<int>(::SendMessageW(band.hwndChild, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    RECT item{};
    ::SendMessageW(band.hwndChild, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    ::SendMessageW(band.hwndChild, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    if (item.right <= visible.right || (button.fsStyle & BTNS_SEP)) continue;
    std::wstring text = LoadCommandText(static_cast<UINT>(button.idCommand), true);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(button.idCommand), text.c_str());
  }
  POINT corner{chevron->rc.left, chevron->rc.bottom};
  ::ClientToScreen(header->hwndFrom, &corner);
  if (GetMenuItemCount(menu) > 0)
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y, 0, m_hWnd, nullptr);
  DestroyMenu(menu);
  return 0;
}
