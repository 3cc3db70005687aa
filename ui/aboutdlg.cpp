#include "ui/aboutdlg.h"

namespace {
constexpr char kMailTarget[] = "mailto:varnek@example.org";
}

bool CAboutDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
  static constexpr CMessageEntry<CAboutDlg> kMessages[] = {
      {WM_INITDIALOG, WM_INITDIALOG, &CAboutDlg::OnInitDialog}};
  static constexpr CCommandEntry<CAboutDlg> kCommands[] = {
      {IDOK, kAnyCode, &CAboutDlg::OnCloseCmd},
      {IDCANCEL, kAnyCode, &CAboutDlg::OnCloseCmd},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteCommand(this, kCommands, message, wParam, lParam, result);
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  m_webLink.SubclassWindow(GetDlgItem(IDC_WEBLINK));
  m_mailLink.SubclassWindow(GetDlgItem(IDC_MAILLINK));
  m_mailLink.SetHyperLink(kMailTarget);
  CenterWindow(GetParent());
  return TRUE;
}

LRESULT CAboutDlg::OnCloseCmd(WORD, WORD id, HWND, bool&) {
  EndDialog(id);
  return 0;
}
