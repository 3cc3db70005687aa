#pragma once
// CSplitterWindowT<vertical>: two panes beside (true) or above (false) each
// other, divided by a bar the operator drags. The splitter position is the
// bar's offset from the left or top edge. Every notification of the panes
// goes on to the splitter's parent unchanged.
//
// Extended styles: SPLIT_BOTTOMALIGNED keeps the lower (right) pane's size
// when the splitter is resized; the upper (left) pane takes the difference.
#include <windows.h>

#include "ui/framework/WindowImpl.h"

constexpr DWORD SPLIT_PROPORTIONAL = 0x00000002;
constexpr DWORD SPLIT_BOTTOMALIGNED = 0x00000004;
constexpr DWORD SPLIT_RIGHTALIGNED = SPLIT_BOTTOMALIGNED;

class CSplitterWindowBase : public CWindowImplBaseT<CWindow> {
 public:
  enum { kTopPane = 0, kBottomPane = 1 };

  explicit CSplitterWindowBase(bool vertical) : m_vertical(vertical) {}

  void SetSplitterExtendedStyle(DWORD style) { m_extendedStyle = style; }
  DWORD GetSplitterExtendedStyle() const { return m_extendedStyle; }
  void SetSplitterPanes(HWND first, HWND second, bool update = true);
  // Clamped to the splitter's extent; -1 puts the bar in the middle.
  void SetSplitterPos(int position, bool update = true);
  int GetSplitterPos() const { return m_position; }
  // Moves the panes to both sides of the bar.
  void UpdateSplitterLayout();
  int GetBarWidth() const { return m_barWidth; }

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 protected:
  HWND CreateSplitter(CWndClassInfo& info, HWND parent, const RECT* rect, const wchar_t* name, DWORD style,
                      DWORD exStyle);

 private:
  LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetCursor(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnCaptureChanged(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  int Extent() const;        // height (width) of the client area
  int Along(LPARAM point) const;  // the mouse coordinate across the bar
  RECT BarRect() const;
  bool IsOverBar(LPARAM point) const;

  bool m_vertical;
  DWORD m_extendedStyle = 0;
  HWND m_panes[2] = {nullptr, nullptr};
  int m_position = -1;     // -1 until the first SetSplitterPos or layout
  int m_extent = -1;       // the extent at the last size change
  int m_barWidth = 4;
  int m_dragOffset = -1;   // pointer offset inside the bar while dragging, -1 when not
};

template <bool t_bVertical = true>
class CSplitterWindowT : public CSplitterWindowBase {
 public:
  CSplitterWindowT() : CSplitterWindowBase(t_bVertical) {}

  HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* name = nullptr,
              DWORD style = 0, DWORD exStyle = 0) {
    static CWndClassInfo info{t_bVertical ? L"VarnekSplitterV" : L"VarnekSplitterH", nullptr,
                              CS_DBLCLKS, nullptr, t_bVertical ? IDC_SIZEWE : IDC_SIZENS};
    return CreateSplitter(info, parent, rect, name, style, exStyle);
  }
};

using CSplitterWindow = CSplitterWindowT<true>;
using CHorSplitterWindow = CSplitterWindowT<false>;
