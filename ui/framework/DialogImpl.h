#pragma once
// CDialogImpl<T>: a modal dialog from the template T::IDD of the module, its
// messages going to T::ProcessWindowMessage. What T leaves goes to the
// dialog manager. The object lives on the opener's stack for one DoModal.
#include <windows.h>

#include <string>

#include "ui/framework/AppModule.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/Window.h"

class CDialogImplBase : public CWindow, public CMessageMap {
 public:
  CDialogImplBase() = default;
  CDialogImplBase(const CDialogImplBase&) = delete;
  CDialogImplBase& operator=(const CDialogImplBase&) = delete;

  bool EndDialog(INT_PTR result) const { return ::EndDialog(m_hWnd, result) != FALSE; }

  // Control texts in code page 1251.
  bool SetDlgItemText1251(int id, const char* text) const {
    return ui::SetWindowText1251(GetDlgItem(id), text);
  }
  std::string GetDlgItemText1251(int id) const { return ui::GetWindowText1251(GetDlgItem(id)); }
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
  }

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // The modal run: the result of EndDialog, or -1 when the dialog could not
  // be made.
  INT_PTR RunModal(UINT templateId, HWND parent, LPARAM initParam);
};

template <class T>
class CDialogImpl : public CDialogImplBase {
 public:
  // parent: the owner, by default the active window of this thread.
  INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) {
    return RunModal(T::IDD, parent, initParam);
  }
};
