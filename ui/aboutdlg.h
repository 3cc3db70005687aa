#pragma once
// CAboutDlg: the program's title, icon, web address and mail address, both
// addresses live links.
#include "res/resource.h"
#include "ui/framework/DialogImpl.h"
#include "ui/framework/HyperLink.h"

class CAboutDlg : public CDialogImpl<CAboutDlg> {
 public:
  enum { IDD = IDD_ABOUTBOX };

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  CHyperLink m_webLink;
  CHyperLink m_mailLink;

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnCloseCmd(WORD code, WORD id, HWND control, bool& handled);
};
