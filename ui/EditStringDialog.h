#pragma once
// CEditStringDialog: asks for one line of text under a prompt (up to three
// lines), optionally digits only. DoModal gives 1 after OK, 2 after
// "Отмена", Escape or the close box.
#include <string>

#include "res/resource.h"
#include "ui/framework/DialogImpl.h"

class CEditStringDialog : public CDialogImpl<CEditStringDialog> {
 public:
  enum { IDD = IDD_EDITSTRING };

  // Texts in code page 1251; null means empty, and a null caption keeps the
  // template's.
  CEditStringDialog(const char* prompt, const char* text, int digitsOnly,
                    const char* caption = nullptr);

  // What was typed after OK; the initial text otherwise.
  const char* GetText() const { return m_text.c_str(); }

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnOK(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCancel(WORD code, WORD id, HWND control, bool& handled);

  std::string m_prompt;
  std::string m_text;
  int m_digitsOnly;
  const char* m_caption;
};
