#pragma once
// CInboxDialog: the replies that came back to the modems, as the replies file
// holds them (time, sender, text), oldest first with the newest in view, and
// the file's place above them; a line says when there are none. The file is
// read once, when the dialog opens. The list holds no rows of its own (owner
// data): a file of any length opens at once.
#include <string>
#include <vector>

#include "engine/RepliesFile.h"
#include "res/resource.h"
#include "ui/framework/DialogImpl.h"

class CInboxDialog : public CDialogImpl<CInboxDialog> {
 public:
  enum { IDD = IDD_INBOX };

  // The line above the list (1251): "Входящих сообщений нет." or the count
  // and the file's path.
  static std::string StateText(size_t count, const std::string& path);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnClose(WORD code, WORD id, HWND control, bool& handled);
  void FitColumns(HWND list) const;

  std::vector<CReply> m_replies;
};
