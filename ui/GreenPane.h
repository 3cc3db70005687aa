#pragma once
// CGreenPane: the titled container of one view. A one-pixel green frame
// around the client and, above it, a green gradient band with the title in
// white over a dark green halo. Child notifications go on to the parent
// unchanged, so the frame still hears from the views inside the panes.
#include <windows.h>

#include <cstring>
#include <string>

#include "ui/framework/CustomDraw.h"
#include "ui/framework/Text1251.h"
#include "ui/framework/WindowImpl.h"

template <class T>
class CGreenPaneImpl : public CWindowImpl<T>, public CCustomDraw<T> {
 public:
  HBRUSH m_hBrush = nullptr;
  HWND m_hWndClient = nullptr;
  int m_cxyBorder = 1;
  int m_cyTitle = 0;
  COLORREF m_clrBack = RGB(0, 128, 0);
  char m_szTitle[100] = {};

  ~CGreenPaneImpl() override {
    if (m_hBrush) DeleteObject(m_hBrush);
  }

  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"VarnekGreenPane", nullptr, 0, nullptr, IDC_ARROW};
    return info;
  }

  // Stores at most 99 bytes of text (code page 1251) and gives the pane its
  // band. Neither repaints nor moves the client. The title is the window's
  // text too, for whatever reads windows (screen readers, tests).
  void SetTitle(const char* text) {
    std::memset(m_szTitle, 0, sizeof(m_szTitle));
    if (text) std::strncpy(m_szTitle, text, sizeof(m_szTitle) - 1);
    m_cyTitle = 15;
    if (this->m_hWnd) ui::SetWindowText1251(this->m_hWnd, m_szTitle);
  }

  void SetClient(HWND client) {
    m_hWndClient = client;
    if (m_hBrush) DeleteObject(m_hBrush);
    m_hBrush = CreateSolidBrush(m_clrBack);
  }

  void LayoutClient(int cx, int cy) {
    if (!m_hWndClient) return;
    const int b = m_cxyBorder;
    const int top = m_cyTitle == 0 ? b : m_cyTitle + 2 * b;
    ::MoveWindow(m_hWndClient, b, top, cx - 2 * b, cy - b - top, TRUE);
    const RECT all{0, 0, cx, cy};
    this->InvalidateRect(&all, true);
    this->UpdateWindow();
  }

  void DrawPane(HDC dc) {
    RECT client{};
    this->GetClientRect(&client);
    FillRect(dc, &client, m_hBrush);
    DrawBand(dc, client.right);
    DrawTitle(dc, client.right);
  }

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override {
    static constexpr CMessageEntry<CGreenPaneImpl> kMessages[] = {
        {WM_SIZE, WM_SIZE, &CGreenPaneImpl::OnSize},
        {WM_ERASEBKGND, WM_ERASEBKGND, &CGreenPaneImpl::OnEraseBackground},
    };
    return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
           ForwardNotificationToParent(hWnd, message, wParam, lParam, result);
  }

 private:
  static constexpr double kTurn = 0.65;  // of the band's height
  static constexpr double kLevels = 120.0;
  static constexpr COLORREF kHalo = RGB(0, 135, 0);
  static constexpr COLORREF kTitleColour = RGB(255, 255, 255);
  static constexpr UINT kTitleFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
  struct Offset {
    int x;
    int y;
  };
  static constexpr Offset kHaloOffsets[] = {{-1, 0}, {1, 0},  {0, 1},  {0, -1},
                                            {-1, 1}, {-1, -1}, {1, 1}, {1, -1}};

  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, bool&) {
    LayoutClient(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
  }

  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, bool&) {
    DrawPane(reinterpret_cast<HDC>(wParam));
    return 1;
  }

  // Bright at the top, darkest at kTurn of the height, brighter again below.
  int BandLevel(int i) const {
    const double h = m_cyTitle;
    const double d = i < kTurn * h ? kLevels * i / (kTurn * h)
                                   : kLevels - kLevels * (i - kTurn * h) / ((1.0 - kTurn) * h);
    return 255 - (static_cast<int>(d) & 0xFF);
  }

  void DrawBand(HDC dc, int width) const {
    const int b = m_cxyBorder;
    for (int i = 0; i < m_cyTitle; ++i) {
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, BandLevel(i), 0));
      HGDIOBJ old = SelectObject(dc, pen);
      MoveToEx(dc, b, b + i, nullptr);
      LineTo(dc, width - b, b + i);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
  }

  void DrawTitle(HDC dc, int width) const {
    const int b = m_cxyBorder;
    const std::wstring title = ui::Wide1251(m_szTitle);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const RECT text{2 * b, b, width - 2 * b, b + m_cyTitle};
    SetTextColor(dc, kHalo);
    for (const Offset& offset : kHaloOffsets) {
      RECT shifted = text;
      OffsetRect(&shifted, offset.x, offset.y);
      DrawTextW(dc, title.c_str(), -1, &shifted, kTitleFormat);
    }
    SetTextColor(dc, kTitleColour);
    RECT plain = text;
    DrawTextW(dc, title.c_str(), -1, &plain, kTitleFormat);
    SelectObject(dc, oldFont);
  }
};

class CGreenPane : public CGreenPaneImpl<CGreenPane> {};
