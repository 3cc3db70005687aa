#include "ui/EditStringDialog.h"

CEditStringDialog::CEditStringDialog(const char* prompt, const char* text, int digitsOnly,
                                     const char* caption)
    : m_prompt(prompt ? prompt : ""),
      m_text(text ? text : ""),
      m_digitsOnly(digitsOnly),
      m_caption(caption) {}

bool CEditStringDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result) {
  static constexpr CMessageEntry<CEditStringDialog> kMessages[] = {
      {WM_INITDIALOG, WM_INITDIALOG, &CEditStringDialog::OnInitDialog}};
  static constexpr CCommandEntry<CEditStringDialog> kCommands[] = {
      {IDOK, kAnyCode, &CEditStringDialog::OnOK},
      {IDCANCEL, kAnyCode, &CEditStringDialog::OnCancel},
  };
  return RouteMessage(this, kMessages, message, wParam, lParam, result) ||
         RouteCommand(this, kCommands, message, wParam, lParam, result);
}

LRESULT CEditStringDialog::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  CWindow edit(GetDlgItem(IDC_TEXT));
  if (m_digitsOnly) edit.ModifyStyle(0, ES_NUMBER);
  edit.SetWindowText1251(m_text.c_str());
  SetDlgItemText1251(IDC_PROMPT, m_prompt.c_str());
  if (m_caption) SetWindowText1251(m_caption);
  CenterWindow(GetParent());
  return TRUE;
}

LRESULT CEditStringDialog::OnOK(WORD, WORD, HWND, bool&) {
  m_text = GetDlgItemText1251(IDC_TEXT);
  EndDialog(IDOK);
  return 0;
}

LRESULT CEditStringDialog::OnCancel(WORD, WORD, HWND, bool&) {
  EndDialog(IDCANCEL);
  return 0;
}
