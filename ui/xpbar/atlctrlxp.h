#pragma once
// The command bar with the flat look: popups with a one-pixel outline, a
// shaded image column, highlighted items as outlined boxes, and a popup that
// opens from a bar button joined to it. The bar also draws the toolbars
// given to AddToolbar and the bands of its rebar.
#include <windows.h>

#include <commctrl.h>

#include <mutex>
#include <vector>

#include "ui/framework/CommandBarCtrl.h"

struct XPSTYLE {
  COLORREF clrFrame;
  COLORREF clrBackground;
  COLORREF clrButton;
  COLORREF clrHighlightBorder;
  COLORREF clrSelection;
  COLORREF clrChecked;
  COLORREF clrPressed;
  COLORREF clrDisabledText;
  COLORREF clrMenuText;
  COLORREF clrSelMenuText;
  COLORREF clrButtonText;
  COLORREF clrHotButtonText;
  COLORREF clrShadow;
};

// The system colours the table is made from.
struct XPSystemColors {
  COLORREF window, windowText, buttonFace, highlight, grayText, menuText, buttonText, windowFrame;
  static XPSystemColors Current();
};

namespace xpbar {
// a + (b - a) * percent / 100 per channel, truncated toward zero, low 8 bits.
COLORREF Blend(COLORREF a, COLORREF b, int percent);
// The colour table for a screen of bitsPerPixel.
XPSTYLE ComputeXPColors(const XPSystemColors& system, int bitsPerPixel);

// Size of an owner-drawn popup item. textWidth: the item's text measured
// single-line with the menu font (bold for the default item).
struct PopupItemMetrics {
  int menuFontHeight;  // absolute lfHeight of the menu font
  SIZE button;         // image + 6 in each direction
  int checkWidth;      // SM_CXMENUCHECK
};
SIZE MeasurePopupItem(bool separator, int textWidth, const PopupItemMetrics& metrics);
}  // namespace xpbar

// The frame of one popup menu window, attached while the popup lives.
class CFlatMenuWindow : public CWindowImplBaseT<CWindow> {
 public:
  CFlatMenuWindow(int jointWidth, COLORREF frame, COLORREF background, COLORREF column);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  void OnFinalMessage(HWND) override { delete this; }

  int m_jointWidth;
  COLORREF m_clrFrame;
  COLORREF m_clrBackground;
  COLORREF m_clrColumn;
  int m_cxBorder;
  int m_cyBorder;

 private:
  // Where the popup's border lies: the distance of the items from the
  // window's edges, and whether the menu draws it inside its client area
  // (Wine gives popup menus no non-client area) rather than as the
  // non-client frame (Windows).
  struct CBorder {
    SIZE inset;
    bool inClient;
  };
  CBorder GetBorder() const;

  LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnPrint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void DrawFrame(HDC dc, SIZE inset) const;
  void PrintClient(HDC dc) const;
};

class CCommandBarXPCtrlBase : public CCommandBarCtrlBase {
 public:
  // Shared by every bar of the process; zero until PrepareReBar.
  static XPSTYLE m_xpstyle;

  static void UpdateXPColors();
  // Restyles the bands of the parent rebar; once the bands exist.
  void PrepareReBar();
  void AddToolbar(HWND toolBar);

  // The notifications the frame passes on from the bar's parent: custom
  // drawing of the bar, of the listed toolbars and of the rebar, and the
  // toolbars' drop-down notification. False: not the bar's.
  bool ProcessParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  static CCommandBarXPCtrlBase* s_pCurrentBar;
  static HHOOK s_hCreateHook;

 protected:
  void MeasureMenuItem(MEASUREITEMSTRUCT* measure, const CMenuItemData& item) override;
  void DrawMenuItem(const DRAWITEMSTRUCT* draw, const CMenuItemData& item) override;
  BOOL DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, TPMPARAMS* params,
                        bool fromBar) override;
  void OnSettingChange() override;

 private:
  static LRESULT CALLBACK CreateHookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnMenuWindowCreated(HWND hWnd);

  LRESULT OnToolBarCustomDraw(NMTBCUSTOMDRAW* draw, bool isBar);
  LRESULT OnReBarCustomDraw(NMCUSTOMDRAW* draw);
  void DrawButton(const NMTBCUSTOMDRAW* draw, bool isBar);
  void DrawButtonBackground(HDC dc, RECT rect, UINT state, BYTE style, bool isBar);
  void DrawButtonImage(HDC dc, HWND toolBar, const RECT& rect, int image, UINT state,
                       bool hasLabel);
  void DrawButtonLabel(HDC dc, HWND toolBar, const RECT& rect, UINT command, UINT state,
                       bool hasImage);
  void DrawChevron(HDC dc, HWND reBar, int index, const RECT& band);
  void DrawItemImage(HDC dc, const RECT& box, int image, bool disabled, bool selected) const;
  void DrawCheckBox(HDC dc, RECT box, const CMenuItemData& item, bool selected) const;
  void DrawItemText(HDC dc, RECT area, const CMenuItemData& item, COLORREF colour) const;
  bool IsListedToolBar(HWND hWnd) const;

  std::vector<HWND> m_toolBars;
  std::vector<HWND> m_stackMenuWnd;
  RECT m_rcJoint{};          // screen rectangle of the button the next popup opens under
  bool m_dropDown = false;   // one-shot: a toolbar drop-down is being drawn pressed

  static std::mutex s_colorLock;
  static std::mutex s_trackLock;
};

template <class T, class TBase = CCommandBarXPCtrlBase>
class CCommandBarXPCtrlImpl : public CCommandBarCtrlImpl<T, TBase> {};

class CCommandBarXPCtrl : public CCommandBarXPCtrlImpl<CCommandBarXPCtrl> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"WTL_CommandBarXP", TOOLBARCLASSNAMEW};
    return info;
  }
};
