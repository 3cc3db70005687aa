#pragma once
// CFrameWindowImpl<T>: a top-level window with a bar at the top (a rebar or
// a toolbar), a status bar at the bottom and one client window between them,
// laid out again on every size change. While a menu item is highlighted the
// status bar shows the first line of the item's string-table entry; a
// toolbar's tooltip is the second line. The rebar's auto-size notification
// re-lays the frame out; its chevron offers the cut-off buttons as a menu.
//
// The frame's menu, title and class icon share one resource number. When the
// window is destroyed a top-level frame ends the message loop with code 1.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/framework/WindowImpl.h"

class CFrameWindowImplBase : public CWindowImplBaseT<CWindow> {
 public:
  HWND m_hWndToolBar = nullptr;    // the rebar (or a single toolbar)
  HWND m_hWndStatusBar = nullptr;
  HWND m_hWndClient = nullptr;
  HMENU m_hMenu = nullptr;         // the menu loaded at creation

  // Styles for the bars and the rebar when none is given.
  static constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                         CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                         TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
  static constexpr DWORD kReBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                       RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE |
                                       CCS_NODIVIDER;

  // A toolbar with the buttons and images of toolbar resource resourceId,
  // each button's command being the resource's; null on failure.
  static HWND CreateSimpleToolBarCtrl(HWND parent, UINT resourceId, bool initialSeparator = false,
                                      DWORD style = kToolBarStyle, UINT id = 0xE800);
  bool CreateSimpleReBar(DWORD style = kReBarStyle, UINT id = 0xE804);
  // A band holding child (a toolbar: its size is measured from its buttons).
  bool AddSimpleReBarBand(HWND child, const wchar_t* title = nullptr, bool newRow = false,
                          int cx = 0, bool fullWidth = false) const;
  // A single-part status bar whose text is string textId.
  bool CreateSimpleStatusBar(UINT textId, DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                                         WS_CLIPSIBLINGS | SBARS_SIZEGRIP,
                             UINT id = 0xE801);
  void UpdateLayout();

  // String-table text of a command split at its line break.
  static std::wstring LoadCommandText(UINT id, bool tooltip);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 protected:
  HWND CreateFrame(CWndClassInfo& info, UINT resourceId, HWND parent, const RECT* rect,
                   DWORD style, DWORD exStyle, bool windowMenu);

 private:
  LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnToolTipText(int idCtrl, NMHDR* header, bool& handled);
  LRESULT OnReBarAutoSize(int idCtrl, NMHDR* header, bool& handled);
  LRESULT OnChevronPushed(int idCtrl, NMHDR* header, bool& handled);

  void ShowMenuPrompt(UINT id, UINT flags);
  void EndMenuPrompt();
  int TopBarHeight();

  bool m_menuPrompt = false;  // the status bar is in its simple mode
  bool m_inLayout = false;
};

template <class T>
class CFrameWindowImpl : public CFrameWindowImplBase {
 public:
  // Register from T's class info; resourceId names the title, the menu and
  // the icon. style/exStyle 0 take the usual frame styles. windowMenu
  // false: the menu is loaded into m_hMenu but not shown by the window (a
  // command bar shows it).
  HWND CreateEx(UINT resourceId, HWND parent = nullptr, const RECT* rect = nullptr, DWORD style = 0,
                DWORD exStyle = 0, bool windowMenu = true) {
    return CreateFrame(T::GetWndClassInfo(), resourceId, parent, rect, style, exStyle, windowMenu);
  }
};
