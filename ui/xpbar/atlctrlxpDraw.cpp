// The flat look's drawing: popup items, bar and toolbar buttons, rebar bands.
#include <algorithm>
#include <string>

#include "ui/xpbar/atlctrlxp.h"

namespace {

constexpr int kDropDownArrowWidth = 14;
constexpr int kWholeDropDownArrowWidth = 10;
constexpr int kChevronWidth = 12;

// A GDI object made for one drawing and deleted with it.
template <class H>
struct CGdi {
  H handle;
  explicit CGdi(H h) : handle(h) {}
  ~CGdi() { DeleteObject(handle); }
  CGdi(const CGdi&) = delete;
  CGdi& operator=(const CGdi&) = delete;
  operator H() const { return handle; }
};

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  CGdi<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush);
}

// A rectangle filled with fill and outlined 1 pixel in outline.
void OutlinedBox(HDC dc, const RECT& rect, COLORREF fill, COLORREF outline) {
  CGdi<HBRUSH> brush(CreateSolidBrush(fill));
  CGdi<HPEN> pen(CreatePen(PS_SOLID, 1, outline));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

// Fill and a 1-pixel border on the left, top and right: joined to what opens below.
void JointBox(HDC dc, const RECT& rect, COLORREF fill) {
  FillSolid(dc, rect, fill);
  CGdi<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME)));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, rect.left, rect.bottom, nullptr);
  LineTo(dc, rect.left, rect.top);
  LineTo(dc, rect.right - 1, rect.top);
  LineTo(dc, rect.right - 1, rect.bottom);
  SelectObject(dc, old);
}

// The image's silhouette in one colour.
void DrawSilhouette(HDC dc, HIMAGELIST images, int image, int x, int y, COLORREF colour) {
  HICON icon = ImageList_GetIcon(images, image, ILD_NORMAL);
  if (!icon) return;
  int cx = 0;
  int cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  CGdi<HBRUSH> brush(CreateSolidBrush(colour));
  DrawStateW(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, cx, cy,
             DST_ICON | DSS_MONO);
  DestroyIcon(icon);
}

// Hot: the silhouette a pixel right and down, the image a pixel left and up.
void DrawImageState(HDC dc, HIMAGELIST images, int image, int x, int y, bool disabled, bool raised,
                    COLORREF shadow) {
  if (disabled) {
    DrawSilhouette(dc, images, image, x, y, shadow);
  } else if (raised) {
    DrawSilhouette(dc, images, image, x + 1, y + 1, shadow);
    ImageList_Draw(images, image, dc, x - 1, y - 1, ILD_TRANSPARENT);
  } else {
    ImageList_Draw(images, image, dc, x, y, ILD_TRANSPARENT);
  }
}

}  // namespace

void CCommandBarXPCtrlBase::MeasureMenuItem(MEASUREITEMSTRUCT* measure, const CMenuItemData& item) {
  LOGFONTW font{};
  GetObjectW(GetMenuFont(), sizeof(font), &font);
  int textWidth = 0;
  if (!(item.type & MFT_SEPARATOR)) {
    LOGFONTW bold = font;
    bold.lfWeight += 200;
    HFONT boldFont = item.isDefault ? CreateFontIndirectW(&bold) : nullptr;
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, boldFont ? boldFont : GetMenuFont());
    RECT text{0, 0, 0, 0};
    DrawTextW(dc, item.text.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    if (boldFont) DeleteObject(boldFont);
    textWidth = text.right;
  }
  const xpbar::PopupItemMetrics metrics{static_cast<int>(font.lfHeight), m_buttonSize,
                                        GetSystemMetrics(SM_CXMENUCHECK)};
  const SIZE size = xpbar::MeasurePopupItem((item.type & MFT_SEPARATOR) != 0, textWidth, metrics);
  measure->itemWidth = static_cast<UINT>(std::max<LONG>(0, size.cx));
  measure->itemHeight = static_cast<UINT>(size.cy);
}

void CCommandBarXPCtrlBase::DrawMenuItem(const DRAWITEMSTRUCT* draw, const CMenuItemData& item) {
  const XPSTYLE& x = m_xpstyle;
  HDC dc = draw->hDC;
  const RECT& rc = draw->rcItem;
  const bool disabled = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool selected = (draw->itemState & ODS_SELECTED) && !disabled && item.id != 0;
  const int top = rc.top + ((rc.bottom - rc.top) - m_buttonSize.cy) / 2;
  const RECT box{rc.left, top, rc.left + m_buttonSize.cx, top + m_buttonSize.cy};
  const RECT column{rc.left, rc.top, rc.left + m_buttonSize.cx + 1, rc.bottom};
  const RECT text{column.right, rc.top, rc.right, rc.bottom};
  if (selected) {
    OutlinedBox(dc, rc, x.clrSelection, x.clrHighlightBorder);
  } else {
    FillSolid(dc, column, x.clrButton);
    FillSolid(dc, text, x.clrBackground);
  }
  if (item.type & MFT_SEPARATOR) {
    const int middle = rc.top + (rc.bottom - rc.top) / 2;
    FillSolid(dc, RECT{text.left + 10, middle, rc.right, middle + 1}, x.clrButton);
    return;
  }
  if (item.image >= 0 && GetImageList())
    DrawItemImage(dc, box, item.image, disabled, selected);
  else if (item.state & MFS_CHECKED)
    DrawCheckBox(dc, box, item, selected);
  const COLORREF colour = disabled ? x.clrDisabledText : selected ? x.clrSelMenuText : x.clrMenuText;
  DrawItemText(dc, RECT{column.right + 6, rc.top, rc.right - m_buttonSize.cx, rc.bottom}, item,
               colour);
}

void CCommandBarXPCtrlBase::DrawItemImage(HDC dc, const RECT& box, int image, bool disabled,
                                          bool selected) const {
  const int left = box.left + (m_buttonSize.cx - m_imageSize.cx) / 2;
  const int top = box.top + (m_buttonSize.cy - m_imageSize.cy) / 2;
  DrawImageState(dc, GetImageList(), image, left, top, disabled, selected, m_xpstyle.clrShadow);
}

void CCommandBarXPCtrlBase::DrawCheckBox(HDC dc, RECT box, const CMenuItemData& item,
                                         bool selected) const {
  InflateRect(&box, -3, -3);
  const COLORREF fill = selected ? m_xpstyle.clrChecked : m_xpstyle.clrSelection;
  OutlinedBox(dc, box, fill, m_xpstyle.clrHighlightBorder);
  if (!(item.state & MFS_CHECKED)) return;
  // The system's check mark is black on white; a monochrome copy takes the
  // box's fill as its background when blitted.
  const int cx = GetSystemMetrics(SM_CXMENUCHECK);
  const int cy = GetSystemMetrics(SM_CYMENUCHECK);
  HDC mono = CreateCompatibleDC(dc);
  CGdi<HBITMAP> bitmap(CreateBitmap(cx, cy, 1, 1, nullptr));
  HGDIOBJ old = SelectObject(mono, bitmap);
  RECT mark{0, 0, cx, cy};
  DrawFrameControl(mono, &mark, DFC_MENU,
                   (item.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  SetBkColor(dc, fill);
  SetTextColor(dc, RGB(0, 0, 0));
  const int left = box.left + ((box.right - box.left) - cx) / 2 + 1;
  const int top = box.top + ((box.bottom - box.top) - cy) / 2;
  BitBlt(dc, left, top, cx, cy, mono, 0, 0, SRCCOPY);
  SelectObject(mono, old);
  DeleteDC(mono);
}

void CCommandBarXPCtrlBase::DrawItemText(HDC dc, RECT area, const CMenuItemData& item,
                                         COLORREF colour) const {
  const UINT cues = ShowKeyboardCues() ? 0 : DT_HIDEPREFIX;
  const size_t tab = item.text.find(L'\t');
  const std::wstring left = item.text.substr(0, tab);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  HGDIOBJ old = SelectObject(dc, GetMenuFont());
  DrawTextW(dc, left.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | cues);
  if (tab != std::wstring::npos) {
    const std::wstring right = item.text.substr(tab + 1);
    DrawTextW(dc, right.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | cues);
  }
  SelectObject(dc, old);
}

LRESULT CCommandBarXPCtrlBase::OnToolBarCustomDraw(NMTBCUSTOMDRAW* draw, bool isBar) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  DrawButton(draw, isBar);
  return CDRF_SKIPDEFAULT;
}

void CCommandBarXPCtrlBase::DrawButton(const NMTBCUSTOMDRAW* draw, bool isBar) {
  HWND toolBar = draw->nmcd.hdr.hwndFrom;
  const UINT command = static_cast<UINT>(draw->nmcd.dwItemSpec);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_IMAGE | TBIF_STYLE | TBIF_STATE;
  if (::SendMessageW(toolBar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0)
    return;
  UINT state = draw->nmcd.uItemState;
  if (info.fsState & TBSTATE_PRESSED) state |= CDIS_SELECTED;
  HDC dc = draw->nmcd.hdc;
  const RECT& rect = draw->nmcd.rc;
  DrawButtonBackground(dc, rect, state, info.fsStyle, isBar);
  const DWORD extended = static_cast<DWORD>(::SendMessageW(toolBar, TB_GETEXTENDEDSTYLE, 0, 0));
  const bool split = (info.fsStyle & BTNS_DROPDOWN) && (extended & TBSTYLE_EX_DRAWDDARROWS);
  const bool whole = (info.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
  if (!isBar && (split || whole)) {
    const int width = split ? kDropDownArrowWidth : kWholeDropDownArrowWidth;
    const int cx = rect.right - width / 2;
    const int cy = rect.top + (rect.bottom - rect.top) / 2;
    const POINT corners[3] = {{cx - 2, cy - 2}, {cx + 2, cy - 2}, {cx, cy + 1}};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, corners, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
  wchar_t label[128] = {};
  ::SendMessageW(toolBar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(label));
  const bool hasImage = info.iImage >= 0 && ::SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0) != 0;
  if (hasImage) DrawButtonImage(dc, toolBar, rect, info.iImage, state, label[0] != 0);
  if (label[0]) DrawButtonLabel(dc, toolBar, rect, command, state, hasImage);
}

void CCommandBarXPCtrlBase::DrawButtonBackground(HDC dc, RECT rect, UINT state, BYTE style,
                                                 bool isBar) {
  const XPSTYLE& x = m_xpstyle;
  const bool selected = (state & CDIS_SELECTED) != 0;
  const bool lit = state & (CDIS_HOT | CDIS_SELECTED | CDIS_CHECKED);
  if ((state & CDIS_DISABLED) || !lit) return;
  if (m_dropDown) {
    JointBox(dc, rect, x.clrButton);
    m_dropDown = false;
  } else if (isBar && selected) {
    JointBox(dc, rect, x.clrButton);
  } else {
    const COLORREF fill = selected ? x.clrPressed : x.clrSelection;
    OutlinedBox(dc, rect, fill, x.clrHighlightBorder);
    if (!isBar && (style & BTNS_DROPDOWN)) {
      rect.left = rect.right - kDropDownArrowWidth;
      OutlinedBox(dc, rect, fill, x.clrHighlightBorder);
    }
  }
}

void CCommandBarXPCtrlBase::DrawButtonImage(HDC dc, HWND toolBar, const RECT& rect, int image,
                                            UINT state, bool hasLabel) {
  const bool disabled = (state & CDIS_DISABLED) != 0;
  const bool hot = (state & CDIS_HOT) != 0;
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0));
  const UINT special = hot ? TB_GETHOTIMAGELIST : disabled ? TB_GETDISABLEDIMAGELIST : 0;
  if (special) {
    if (HIMAGELIST other = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, special, 0, 0)))
      images = other;
  }
  int cx = 0;
  int cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  const bool list = (::SendMessageW(toolBar, TB_GETSTYLE, 0, 0) & TBSTYLE_LIST) != 0;
  const int left = list ? rect.left + 4 : rect.left + ((rect.right - rect.left) - cx) / 2;
  const int top = hasLabel ? rect.top + 4 : rect.top + ((rect.bottom - rect.top) - cy) / 2 + 1;
  DrawImageState(dc, images, image, left, top, disabled, hot && !(state & CDIS_SELECTED),
                 m_xpstyle.clrShadow);
}

void CCommandBarXPCtrlBase::DrawButtonLabel(HDC dc, HWND toolBar, const RECT& rect, UINT command,
                                            UINT state, bool hasImage) {
  wchar_t label[128] = {};
  ::SendMessageW(toolBar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(label));
  RECT area = rect;
  UINT format = DT_SINGLELINE | DT_VCENTER | (ShowKeyboardCues() ? 0 : DT_HIDEPREFIX);
  const bool list = (::SendMessageW(toolBar, TB_GETSTYLE, 0, 0) & TBSTYLE_LIST) != 0;
  if (hasImage) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolBar, TB_GETIMAGELIST, 0, 0));
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    if (list) {
      area.left += cx + 8;
      format |= DT_LEFT;
    } else {
      area.top += ((rect.bottom - rect.top) - cy) / 2 + 6;
      format |= DT_CENTER;
    }
  } else {
    format |= DT_CENTER;
  }
  const XPSTYLE& x = m_xpstyle;
  SetTextColor(dc, (state & CDIS_DISABLED) ? x.clrDisabledText
                   : (state & CDIS_HOT)    ? x.clrHotButtonText
                                           : x.clrButtonText);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, GetMenuFont());
  DrawTextW(dc, label, -1, &area, format);
  SelectObject(dc, old);
}

LRESULT CCommandBarXPCtrlBase::OnReBarCustomDraw(NMCUSTOMDRAW* draw) {
  if (draw->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  HWND reBar = draw->hdr.hwndFrom;
  const int index = static_cast<int>(::SendMessageW(reBar, RB_IDTOINDEX, draw->dwItemSpec, 0));
  RECT band = draw->rc;
  FillSolid(draw->hdc, band, m_xpstyle.clrButton);
  RECT gripper = band;
  gripper.left += 4;
  gripper.right -= 2;
  gripper.top += 4;
  gripper.bottom -= 4;
  if (!IsRectEmpty(&gripper)) {
    static const WORD kStripes[8] = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    CGdi<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, kStripes));
    CGdi<HBRUSH> brush(CreatePatternBrush(pattern));
    SetBkColor(draw->hdc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(draw->hdc, GetSysColor(COLOR_BTNSHADOW));
    FillRect(draw->hdc, &gripper, brush);
  }
  if (index >= 0) DrawChevron(draw->hdc, reBar, index, band);
  return CDRF_SKIPDEFAULT;
}

void CCommandBarXPCtrlBase::DrawChevron(HDC dc, HWND reBar, int index, const RECT& band) {
  REBARBANDINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_IDEALSIZE | RBBIM_COLORS;
  ::SendMessageW(reBar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&info));
  if (!(info.fStyle & RBBS_USECHEVRON) || !info.hwndChild) return;
  RECT child{};
  ::GetClientRect(info.hwndChild, &child);
  if (child.right >= static_cast<LONG>(info.cxIdeal)) return;
  RECT borders{};
  ::SendMessageW(reBar, RB_GETBANDBORDERS, index, reinterpret_cast<LPARAM>(&borders));
  const int left = band.left + borders.left + child.right + 4;
  const RECT chevron{left, band.top, left + kChevronWidth, band.bottom};
  POINT cursor{};
  GetCursorPos(&cursor);
  ::ScreenToClient(reBar, &cursor);
  if (PtInRect(&chevron, cursor))
    OutlinedBox(dc, chevron, m_xpstyle.clrSelection, m_xpstyle.clrHighlightBorder);
  else
    FillSolid(dc, chevron, info.clrBack == CLR_DEFAULT ? m_xpstyle.clrButton : info.clrBack);
  const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
  CGdi<HFONT> font(CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                               L"Verdana"));
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, m_xpstyle.clrButtonText);
  TextOutW(dc, chevron.left + 1, chevron.top + 1, L"\u00BB", 1);
  SelectObject(dc, old);
}
