#include "ui/framework/DialogImpl.h"

namespace {

thread_local CDialogImplBase* t_creatingDialog = nullptr;

struct MessageRange {
  UINT first;
  UINT last;
};

// Messages whose answer a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
constexpr MessageRange kDirectAnswers[] = {
    {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC}, {WM_COMPAREITEM, WM_COMPAREITEM},
    {WM_VKEYTOITEM, WM_VKEYTOITEM},         {WM_CHARTOITEM, WM_CHARTOITEM},
    {WM_QUERYDRAGICON, WM_QUERYDRAGICON},   {WM_INITDIALOG, WM_INITDIALOG},
};

bool AnswersDirectly(UINT message) {
  for (const MessageRange& range : kDirectAnswers) {
    if (message >= range.first && message <= range.last) return true;
  }
  return false;
}

}  // namespace

INT_PTR CDialogImplBase::RunModal(UINT templateId, HWND parent, LPARAM initParam) {
  if (m_hWnd) return -1;
  t_creatingDialog = this;
  const INT_PTR result =
      ::DialogBoxParamW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(templateId),
                        parent, &DialogProc, initParam);
  t_creatingDialog = nullptr;
  return result;
}

INT_PTR CALLBACK CDialogImplBase::DialogProc(HWND hWnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* self = reinterpret_cast<CDialogImplBase*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (!self) {
    self = t_creatingDialog;
    if (!self) return FALSE;
    t_creatingDialog = nullptr;
    self->m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  LRESULT result = 0;
  const bool handled = self->ProcessWindowMessage(hWnd, message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    self->m_hWnd = nullptr;
  }
  if (!handled) return FALSE;
  if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}
