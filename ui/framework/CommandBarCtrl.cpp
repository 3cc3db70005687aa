#include "ui/framework/CommandBarCtrl.h"

#include <algorithm>
#include <cwctype>

#include "ui/framework/AppModule.h"
#include "ui/framework/ToolBarResource.h"

namespace {

constexpr int kFirstButtonId = 0xE900;  // button i has command kFirstButtonId + i
thread_local CCommandBarCtrlBase* t_trackingBar = nullptr;

// The letter after the first single "&" of text, or 0.
wchar_t MnemonicOf(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
    ++i;
  }
  return 0;
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

std::wstring MenuItemText(HMENU menu, int position) {
  wchar_t buffer[256] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = buffer;
  info.cch = 255;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return buffer;
}

}  // namespace

CCommandBarCtrlBase::~CCommandBarCtrlBase() {
  if (m_images) ImageList_Destroy(m_images);
  if (m_menuFont) DeleteObject(m_menuFont);
}

HWND CCommandBarCtrlBase::CreateBar(CWndClassInfo& info, HWND parent, const RECT* rect,
                                    DWORD style, UINT id) {
  const ATOM atom = framework_detail::RegisterWndClass(info, &WindowProc);
  const RECT none{0, 0, 100, 100};
  return CreateFromClass(atom, info.superProc, parent, rect ? rect : &none, nullptr, style, 0, id,
                         nullptr);
}

LRESULT CCommandBarCtrlBase::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  const LRESULT result = DefWindowProc(message, wParam, lParam);
  if (result == -1) return -1;
  m_hWndNotify = ::GetAncestor(m_hWnd, GA_ROOT);
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  ReadMenuFont();
  UpdateSystemCues();
  if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) loop->AddMessageFilter(this);
  return result;
}

LRESULT CCommandBarCtrlBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) loop->RemoveMessageFilter(this);
  handled = false;
  return 0;
}

void CCommandBarCtrlBase::ReadMenuFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
  if (!font) return;
  if (m_menuFont) DeleteObject(m_menuFont);
  m_menuFont = font;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_menuFont), TRUE);
}

void CCommandBarCtrlBase::UpdateSystemCues() {
  BOOL cues = TRUE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  m_systemCues = cues != FALSE;
}

int CCommandBarCtrlBase::ButtonCount() const {
  return static_cast<int>(SendMessage(TB_BUTTONCOUNT));
}

bool CCommandBarCtrlBase::AttachMenu(HMENU menu) {
  while (ButtonCount() > 0) SendMessage(TB_DELETEBUTTON, 0);
  m_hMenu = menu;
  if (!menu) return true;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const std::wstring text = MenuItemText(menu, i);
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = kFirstButtonId + i;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(text.c_str());
    if (!SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button))) return false;
  }
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(m_buttonSize.cx, m_buttonSize.cy));
  SendMessage(TB_AUTOSIZE);
  return true;
}

bool CCommandBarCtrlBase::LoadImages(UINT resourceId) {
  HINSTANCE instance = GetAppModule().GetResourceInstance();
  CToolBarResource bar;
  if (!bar.Load(instance, resourceId)) return false;
  HIMAGELIST images = CreateToolBarImageList(instance, resourceId, bar);
  if (!images) return false;
  if (m_images) ImageList_Destroy(m_images);
  m_images = images;
  m_imageSize = SIZE{bar.imageWidth, bar.imageHeight};
  m_buttonSize = SIZE{bar.imageWidth + 6, bar.imageHeight + 6};
  m_imageOf.clear();
  for (WORD command : bar.commands) {
    if (command != 0) m_imageOf.emplace_back(command, bar.ImageOf(command));
  }
  return true;
}

int CCommandBarCtrlBase::ImageOf(UINT command) const {
  for (const auto& entry : m_imageOf) {
    if (entry.first == command) return entry.second;
  }
  return -1;
}

int CCommandBarCtrlBase::FindMnemonic(wchar_t letter) const {
  if (!m_hMenu) return -1;
  const wchar_t upper = static_cast<wchar_t>(std::towupper(letter));
  const int count = GetMenuItemCount(m_hMenu);
  for (int i = 0; i < count; ++i) {
    if (MnemonicOf(MenuItemText(m_hMenu, i)) == upper) return i;
  }
  return -1;
}

bool CCommandBarCtrlBase::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                               LRESULT& result) {
  using Self = CCommandBarCtrlBase;
  static constexpr CMessageEntry<Self> kMessages[] = {
      {WM_CREATE, WM_CREATE, &Self::OnCreate},
      {WM_DESTROY, WM_DESTROY, &Self::OnDestroy},
      {WM_LBUTTONDOWN, WM_LBUTTONDOWN, &Self::OnButtonDown},
      {WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, &Self::OnButtonDown},
      {WM_INITMENUPOPUP, WM_INITMENUPOPUP, &Self::OnInitMenuPopup},
      {WM_UNINITMENUPOPUP, WM_UNINITMENUPOPUP, &Self::OnUninitMenuPopup},
      {WM_MENUSELECT, WM_MENUSELECT, &Self::OnMenuSelect},
      {WM_MEASUREITEM, WM_MEASUREITEM, &Self::OnMeasureItem},
      {WM_DRAWITEM, WM_DRAWITEM, &Self::OnDrawItem},
      {WM_COMMAND, WM_COMMAND, &Self::OnCommand},
      {WM_SETTINGCHANGE, WM_SETTINGCHANGE, &Self::OnSettingChangeMessage},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result);
}

LRESULT CCommandBarCtrlBase::OnButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
  POINT point = PointOf(lParam);
  const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  if (m_keyboardMode) LeaveKeyboardMode();
  if (index >= 0 && index < ButtonCount()) TrackBarPopup(index, false);
  return 0;
}

void CCommandBarCtrlBase::TrackBarPopup(int index, bool fromKeyboard) {
  while (index >= 0 && m_hMenu) {
    HMENU popup = GetSubMenu(m_hMenu, index);
    if (!popup) break;
    RECT button{};
    SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    SendMessage(TB_PRESSBUTTON, kFirstButtonId + index, MAKELPARAM(TRUE, 0));
    // The menu loop keeps the pointer from the bar: a button lit by the
    // pointer or the arrows before would stay lit beside the open popup.
    SetHotButton(-1);
    m_trackIndex = index;
    m_nextIndex = -1;
    m_popupDepth = 0;
    ::GetCursorPos(&m_pointer);
    // The menu loop takes the posted key as its first: the first item lights.
    if (fromKeyboard) PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    t_trackingBar = this;
    m_msgHook = SetWindowsHookExW(WH_MSGFILTER, &MessageFilterHook, nullptr, GetCurrentThreadId());
    TPMPARAMS params{sizeof(TPMPARAMS), button};
    DoTrackPopupMenu(popup, TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN,
                     button.left, button.bottom, &params, true);
    if (m_msgHook) UnhookWindowsHookEx(m_msgHook);
    m_msgHook = nullptr;
    t_trackingBar = nullptr;
    SendMessage(TB_PRESSBUTTON, kFirstButtonId + index, MAKELPARAM(FALSE, 0));
    m_trackIndex = -1;
    RestoreMenuItems();
    index = m_nextIndex;
    fromKeyboard = m_nextFromKeyboard;
  }
  SetHotButton(-1);
  ::UpdateWindow(m_hWnd);
}

BOOL CCommandBarCtrlBase::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, TPMPARAMS* params) {
  const BOOL result = DoTrackPopupMenu(menu, flags, x, y, params, false);
  RestoreMenuItems();
  return result;
}

BOOL CCommandBarCtrlBase::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, TPMPARAMS* params,
                                           bool) {
  return ::TrackPopupMenuEx(menu, flags, x, y, m_hWnd, params);
}

// The pointer and the arrow keys while a bar popup is open.
LRESULT CALLBACK CCommandBarCtrlBase::MessageFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  CCommandBarCtrlBase* bar = t_trackingBar;
  if (code == MSGF_MENU && bar && bar->OnMenuMessage(*reinterpret_cast<MSG*>(lParam))) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CCommandBarCtrlBase::OnMenuMessage(const MSG& message) {
  switch (message.message) {
    case WM_MOUSEMOVE:
      OnMenuMouseMove(PointOf(message.lParam));
      return false;
    case WM_LBUTTONDOWN:
      return OnMenuButtonDown(ButtonAtScreen(PointOf(message.lParam)));
    case WM_KEYDOWN:
      return OnMenuKeyDown(message.wParam);
    default:
      return false;
  }
}

// Inside the menu loop the mouse messages carry screen coordinates, for
// whichever window they are meant (Windows and Wine alike).
int CCommandBarCtrlBase::ButtonAtScreen(POINT point) const {
  ::ScreenToClient(m_hWnd, &point);
  const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  return index >= 0 && index < ButtonCount() ? index : -1;
}

// The system also reports a pointer that has not moved (a popup appeared
// under it): after Left or Right, that would take the popup back to the
// button under the resting pointer.
void CCommandBarCtrlBase::OnMenuMouseMove(POINT point) {
  if (point.x == m_pointer.x && point.y == m_pointer.y) return;
  m_pointer = point;
  const int index = ButtonAtScreen(point);
  if (index < 0 || index == m_trackIndex) return;
  m_nextIndex = index;
  m_nextFromKeyboard = false;
  EndMenu();
}

// A click on the open popup's own button closes it, as on every menu bar.
// Swallowed: left to the bar, it would open the popup again at once.
bool CCommandBarCtrlBase::OnMenuButtonDown(int index) {
  if (index < 0 || index != m_trackIndex) return false;
  m_nextIndex = -1;
  EndMenu();
  return true;
}

bool CCommandBarCtrlBase::OnMenuKeyDown(WPARAM key) {
  const int count = ButtonCount();
  const bool left = key == VK_LEFT && m_popupDepth <= 1;
  const bool right = key == VK_RIGHT && !m_selectedHasPopup;
  if (!left && !right) return false;
  m_nextIndex = (m_trackIndex + (left ? count - 1 : 1)) % count;
  m_nextFromKeyboard = true;
  EndMenu();
  return true;
}

LRESULT CCommandBarCtrlBase::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  // The frame's command states first, then the drawing takes the items over.
  if (m_hWndNotify) ::SendMessageW(m_hWndNotify, message, wParam, lParam);
  ++m_popupDepth;
  if (!HIWORD(lParam)) ConvertToOwnerDraw(reinterpret_cast<HMENU>(wParam));
  return 0;
}

LRESULT CCommandBarCtrlBase::OnUninitMenuPopup(UINT, WPARAM, LPARAM, bool&) {
  if (m_popupDepth > 0) --m_popupDepth;
  return 0;
}

LRESULT CCommandBarCtrlBase::OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  m_selectedHasPopup = (HIWORD(wParam) & MF_POPUP) != 0 && HIWORD(wParam) != 0xFFFF;
  if (m_hWndNotify) ::SendMessageW(m_hWndNotify, message, wParam, lParam);
  return 0;
}

LRESULT CCommandBarCtrlBase::OnCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  // Menu commands (no control) go to the frame; the buttons' own clicks are
  // handled by OnButtonDown.
  if (lParam == 0 && m_hWndNotify) ::SendMessageW(m_hWndNotify, message, wParam, lParam);
  return 0;
}

void CCommandBarCtrlBase::ConvertToOwnerDraw(HMENU menu) {
  for (HMENU done : m_convertedMenus) {
    if (done == menu) return;
  }
  const int count = GetMenuItemCount(menu);
  const UINT defaultId = GetMenuDefaultItem(menu, FALSE, 0);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_DATA;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info) || (info.fType & MFT_OWNERDRAW)) continue;
    auto data = std::make_unique<CMenuItemData>();
    data->type = info.fType;
    data->state = info.fState;
    data->id = info.wID;
    data->hasSubMenu = info.hSubMenu != nullptr;
    data->isDefault = info.wID == defaultId && defaultId != static_cast<UINT>(-1);
    data->image = (info.fType & MFT_SEPARATOR) ? -1 : ImageOf(info.wID);
    data->text = text;
    MENUITEMINFOW owner{};
    owner.cbSize = sizeof(owner);
    owner.fMask = MIIM_FTYPE | MIIM_DATA;
    owner.fType = info.fType | MFT_OWNERDRAW;
    owner.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
    SetMenuItemInfoW(menu, i, TRUE, &owner);
    m_itemData.push_back(std::move(data));
  }
  m_convertedMenus.push_back(menu);
}

void CCommandBarCtrlBase::RestoreMenuItems() {
  for (HMENU menu : m_convertedMenus) {
    if (!IsMenu(menu)) continue;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_DATA;
      if (!GetMenuItemInfoW(menu, i, TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) continue;
      const auto* data = reinterpret_cast<const CMenuItemData*>(info.dwItemData);
      if (!data) continue;
      MENUITEMINFOW text{};
      text.cbSize = sizeof(text);
      text.fMask = MIIM_FTYPE | MIIM_DATA | ((data->type & MFT_SEPARATOR) ? 0 : MIIM_STRING);
      text.fType = data->type;
      text.dwItemData = 0;
      text.dwTypeData = const_cast<wchar_t*>(data->text.c_str());
      SetMenuItemInfoW(menu, i, TRUE, &text);
    }
  }
  m_convertedMenus.clear();
  m_itemData.clear();
}

LRESULT CCommandBarCtrlBase::OnMeasureItem(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (measure->CtlType != ODT_MENU || !measure->itemData) {
    handled = false;
    return 0;
  }
  MeasureMenuItem(measure, *reinterpret_cast<const CMenuItemData*>(measure->itemData));
  return TRUE;
}

LRESULT CCommandBarCtrlBase::OnDrawItem(UINT, WPARAM, LPARAM lParam, bool& handled) {
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (draw->CtlType != ODT_MENU || !draw->itemData) {
    handled = false;
    return 0;
  }
  DrawMenuItem(draw, *reinterpret_cast<const CMenuItemData*>(draw->itemData));
  return TRUE;
}

void CCommandBarCtrlBase::MeasureMenuItem(MEASUREITEMSTRUCT* measure, const CMenuItemData& item) {
  if (item.type & MFT_SEPARATOR) {
    measure->itemWidth = 0;
    measure->itemHeight = GetSystemMetrics(SM_CYMENU) / 2;
    return;
  }
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, m_menuFont);
  RECT text{0, 0, 0, 0};
  DrawTextW(dc, item.text.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  measure->itemWidth = text.right + 2 * m_buttonSize.cx;
  measure->itemHeight = std::max<UINT>(GetSystemMetrics(SM_CYMENU), text.bottom + 4);
}

void CCommandBarCtrlBase::DrawMenuItem(const DRAWITEMSTRUCT* draw, const CMenuItemData& item) {
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  RECT rect = draw->rcItem;
  FillRect(draw->hDC, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (item.type & MFT_SEPARATOR) {
    rect.top += (rect.bottom - rect.top) / 2;
    DrawEdge(draw->hDC, &rect, EDGE_ETCHED, BF_TOP);
    return;
  }
  rect.left += m_buttonSize.cx + 4;
  SetBkMode(draw->hDC, TRANSPARENT);
  SetTextColor(draw->hDC, GetSysColor((draw->itemState & ODS_GRAYED) ? COLOR_GRAYTEXT
                                      : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                      : COLOR_MENUTEXT));
  HGDIOBJ old = SelectObject(draw->hDC, m_menuFont);
  DrawTextW(draw->hDC, item.text.c_str(), -1, &rect,
            DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (ShowKeyboardCues() ? 0 : DT_HIDEPREFIX));
  SelectObject(draw->hDC, old);
}

LRESULT CCommandBarCtrlBase::OnSettingChangeMessage(UINT, WPARAM, LPARAM, bool& handled) {
  OnSettingChange();
  handled = false;
  return 0;
}

void CCommandBarCtrlBase::OnSettingChange() {
  ReadMenuFont();
  UpdateSystemCues();
  SendMessage(TB_AUTOSIZE);
}
