#pragma once
// CHyperLink: turns a dialog's text static into a live link. It draws the
// label underlined in the link colour (the visited colour once opened),
// shows the hand over the label and the target as a tooltip, and opens the
// target with the shell on a click that starts and ends on the label, or on
// Enter or Space while focused. The colours come from the browser's
// "Anchor Color" settings when they are valid.
#include <windows.h>

#include <string>

#include "ui/framework/WindowImpl.h"

class CHyperLink : public CWindowImpl<CHyperLink> {
 public:
  ~CHyperLink() override;

  // Takes over the static; its text becomes the label (unless one was set)
  // and the label the target (unless one was set).
  bool SubclassWindow(HWND hWnd);
  // Texts in code page 1251.
  void SetLabel(const char* label) { m_label = label ? label : ""; }
  void SetHyperLink(const char* target);

  // "r,g,b" decimal; false (colour untouched) without two commas or with
  // nothing after the second. Each number keeps its low 8 bits.
  static bool ParseColor(const char* text, COLORREF& colour);

  COLORREF m_clrLink = RGB(0, 0, 255);
  COLORREF m_clrVisited = RGB(128, 0, 128);
  bool m_visited = false;

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 protected:
  // Opens the target; true when the shell accepted it.
  virtual bool OpenTarget();

 private:
  void ReadColors();
  void CalcLinkRect();
  void CreateUnderlinedFont(HFONT base);
  void UpdateTool();
  bool PointInLink(LPARAM lParam) const;
  void Navigate();
  void Paint(HDC dc);
  void Release();

  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnPrintClient(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnRepaintState(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMouse(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetCursor(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnGetDlgCode(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnGetFont(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  std::string m_label;
  std::string m_target;
  HCURSOR m_hCursor = nullptr;
  HFONT m_hFont = nullptr;        // underlined, owned
  HFONT m_hNormalFont = nullptr;  // the dialog's, not owned
  RECT m_rcLink{};
  HWND m_hWndToolTip = nullptr;
};
