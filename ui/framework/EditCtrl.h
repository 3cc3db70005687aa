#pragma once
// CEditT: the calls the program makes on a system edit control. Its text goes
// through CWindow's 1251 helpers.
#include <windows.h>

#include "ui/framework/Window.h"

template <class TBase = CWindow>
class CEditT : public TBase {
 public:
  CEditT(HWND hWnd = nullptr) { this->m_hWnd = hWnd; }

  static const wchar_t* GetWndClassName() { return L"EDIT"; }

  bool SetReadOnly(bool readOnly = true) const {
    return this->SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE) != FALSE;
  }
  void SetSel(int start, int end) const { this->SendMessage(EM_SETSEL, start, end); }
  // Replaces the selection with text (code page 1251), like typing it.
  void ReplaceSel(const char* text, bool canUndo = false) const {
    const std::wstring wide = ui::Wide1251(text);
    this->SendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  void SetLimitText(UINT limit) const { this->SendMessage(EM_SETLIMITTEXT, limit); }
};

using CEdit = CEditT<CWindow>;
