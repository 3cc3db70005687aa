#pragma once
// CVarnekEditView: the message editor, a superclass of the system edit
// control that leaves every message to it. The frame reads and writes its
// text (code page 1251) through CWindow's helpers.
#include "ui/framework/EditCtrl.h"
#include "ui/framework/WindowImpl.h"

class CVarnekEditView : public CWindowImpl<CVarnekEditView, CEditT<CWindow>> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"VarnekEditView", L"EDIT"};
    return info;
  }

  bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};
