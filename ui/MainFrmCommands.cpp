// The main window's commands. While a delivery runs (the engine's m_thread
// is set) every command that would change the list, the settings or the
// position is refused: the worker reads them without a lock.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "modem/Log.h"
#include "modem/Pdu.h"
#include "platform/CodePage.h"
#include "ui/EditStringDialog.h"
#include "ui/InboxDialog.h"
#include "ui/LoadReport.h"
#include "ui/MainFrm.h"
#include "ui/SetupDialog.h"
#include "ui/aboutdlg.h"
#include "ui/framework/FileDialog.h"

namespace {

constexpr char kInfoCaption[] = "Сообщение";
// The first letter is the Latin C: the caption of this one message.
constexpr char kEmptyTextCaption[] = "C" "ообщение";
constexpr char kQuestion[] = "Вопрос";
constexpr char kRefusal[] = "Идет отправка сообщений. Для выполнения команды остановите отправку.";
constexpr char kResetQuestion[] = "Текущие номера списка будут удалены. Продолжить?";
constexpr char kLoadedCount[] = "Загружено номеров: %d";
constexpr char kNoText[] = "Не указан текст сообщения";
constexpr char kNothingToSend[] =
    "В тексте нет ни одного знака, который можно отправить в SMS (буквы, цифры, знаки препинания).";
constexpr char kNoSelection[] = "Не выделен номер из списка";
constexpr char kListFilter[] = "Списки телефонов (*.*)|*.*|";
constexpr char kMaskCaption[] = "Сгенерировать по маске";
constexpr char kMaskPrompt[] =
    "Номер телефона, где каждая * перебирает цифры от 0 до 9 (от одной до четырёх *: "
    "до 10 000 номеров). Замените X цифрами номера.";
constexpr char kMaskTemplate[] = "7XXXXXX****";
constexpr char kNoNumbersFromMask[] =
    "Маска не дала ни одного номера: в ней должно быть от одной до четырёх *, а всего не больше "
    "99 знаков. Список не изменён.";
constexpr char kNumberCaption[] = "Добавить номер";
constexpr char kNumberPrompt[] = "Номер телефона (11 цифр, начиная с 7)";
constexpr char kNumberLength[] = "Номер телефона должен содержать 11 цифр.";
constexpr size_t kNumberDigits = 11;
constexpr int kTextBuffer = 500;
constexpr char kMarkersUnwritable[] = "Нельзя записать маркеры отправленных номеров в папку\n";
constexpr char kMarkersAdvice[] =
    "\n\nБез маркеров номера могли бы уйти дважды, поэтому отправка не запущена. Исправьте "
    "доступ к папке или выключите проверку дублирования в настройках.";
constexpr char kLogsUnwritable[] = "Нельзя записать журналы в папку\n";
constexpr char kLogsQuestion[] = "\n\nОтправлять без журналов?";
constexpr char kNoUnconfirmed[] = "В списке нет номеров без подтверждения.";
constexpr char kResendCount[] = "Номеров без подтверждения: ";
constexpr char kResendQuestion[] =
    ".\n\nСообщения на эти номера могли уже дойти: модем принял их, но подтверждения от сети "
    "не было. При повторной отправке абонент может получить сообщение дважды.\n\nОтправить их "
    "повторно? Неотправленные номера списка тоже будут отправлены.";

}  // namespace

// The list's context menu (right click, Shift+F10, the context-menu key):
// the "Phones" popup of menu 128, the only menu that offers adding a number
// and generating from a mask. Its commands reach the frame as those of the
// menu bar do. The platform passes the request up from the list through the
// pane and the splitter, naming the splitter; the place (or, from the
// keyboard, the focus) tells whether it was the list's.
LRESULT CMainFrame::OnContextMenu(UINT, WPARAM, LPARAM lParam, bool& handled) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const bool fromKeyboard = at.x == -1 && at.y == -1;
  RECT list{};
  m_list.GetWindowRect(&list);
  if (fromKeyboard ? ::GetFocus() != m_list.m_hWnd : !::PtInRect(&list, at)) {
    handled = false;
    return 0;
  }
  if (fromKeyboard) at = ListMenuPoint();
  HMENU menu = LoadMenuW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  if (!menu) return 0;
  m_CmdBar.TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                          at.x, at.y);
  DestroyMenu(menu);
  return 0;
}

// Under the selected row, or at the list's top left corner without one.
POINT CMainFrame::ListMenuPoint() const {
  POINT at{0, 0};
  const int row = m_list.GetSelectedIndex();
  RECT rect{LVIR_LABEL, 0, 0, 0};
  if (row >= 0 && m_list.SendMessage(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
    at = POINT{rect.left, rect.bottom};
  ::ClientToScreen(m_list, &at);
  return at;
}

bool CMainFrame::CheckNotSending() {
  if (GetEngine().m_thread == nullptr) return true;
  ShowMessage(kRefusal, kInfoCaption, MB_OK | MB_ICONINFORMATION);
  return false;
}

bool CMainFrame::ConfirmListReset() {
  if (GetEngine().m_items.empty()) return true;
  return ShowMessage(kResetQuestion, kQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CMainFrame::ShowNewList() {
  m_list.FillFromEngine();
  ShowTally(std::string());
}

void CMainFrame::ShowLoadReport(const CListReport& report) {
  const std::string text = LoadReportText(report, GetEngine().m_items);
  if (!text.empty()) ShowMessage(text.c_str(), kInfoCaption, MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::ShowLoadedCount() {
  char text[100];
  snprintf(text, sizeof(text), kLoadedCount, static_cast<int>(GetEngine().m_items.size()));
  g_pMainFrame->OnStatusText(text);
}

std::string CMainFrame::ReadMessageText() const {
  char text[kTextBuffer] = {};
  m_edit.GetWindowText1251(text, kTextBuffer - 1);
  return text;
}

void CMainFrame::LaunchDelivery(int from, bool resendUnconfirmed) {
  if (!CheckNotSending()) return;
  CEngine& engine = GetEngine();
  engine.m_position = from;
  const std::string text = ReadMessageText();
  // The editor shows exactly what is sent: a longer text is cut here. A
  // multi-line edit reports no change for a text set from outside, so the
  // pane's count is brought up to date here.
  const bool cut = static_cast<int>(text.size()) < m_edit.GetWindowTextLength();
  m_edit.SetWindowText1251(text.c_str());
  if (cut) ShowTextForm();
  engine.m_message = text;
  if (text.empty()) {
    ShowMessage(kNoText, kEmptyTextCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // Every character outside the SMS alphabet is dropped before sending: a
  // text of such characters alone would go out as an empty message.
  if (pdu::CleanMessage(text.c_str()).empty()) {
    ShowMessage(kNothingToSend, kInfoCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!FoldersAllowDelivery()) return;
  PauseListening();
  engine.m_resendUnconfirmed = resendUnconfirmed;
  if (engine.StartDelivery() == nullptr) engine.m_resendUnconfirmed = false;
}

bool CMainFrame::FoldersAllowDelivery() {
  CEngine& engine = GetEngine();
  std::string reason;
  if (!engine.CheckMarkerFolder(reason)) {
    const std::string text = kMarkersUnwritable + engine.Markers().Folder() + "\n" + reason + kMarkersAdvice;
    ShowMessage(text.c_str(), kInfoCaption, MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (GetLog().CheckWritable(reason)) return true;
  const std::string text =
      kLogsUnwritable + CLog::Folder() + "\n" + platform::Utf8ToCp1251(reason) + kLogsQuestion;
  return ShowMessage(text.c_str(), kQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

LRESULT CMainFrame::OnCmdStart(WORD, WORD, HWND, bool&) {
  LaunchDelivery(0);
  return 0;
}

LRESULT CMainFrame::OnCmdStartSelected(WORD, WORD, HWND, bool&) {
  const int row = m_list.GetSelectedIndex();
  if (row < 0) {
    ShowMessage(kNoSelection, kInfoCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  LaunchDelivery(row);
  return 0;
}

LRESULT CMainFrame::OnCmdStop(WORD, WORD, HWND, bool&) {
  CEngine& engine = GetEngine();
  if (engine.m_thread != nullptr) engine.StopDelivery();
  return 0;
}

LRESULT CMainFrame::OnCmdClearList(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending() || !ConfirmListReset()) return 0;
  PauseListening();
  GetEngine().ClearList();
  ShowNewList();
  return 0;
}

LRESULT CMainFrame::OnCmdOpenList(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending()) return 0;
  CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kListFilter);
  if (dialog.DoModal(::GetActiveWindow()) != IDOK || !ConfirmListReset()) return 0;
  PauseListening();
  CEngine& engine = GetEngine();
  engine.ClearList();
  CListReport report;
  engine.LoadListFile(dialog.GetPathName().c_str(), &report);
  ShowNewList();
  ShowLoadedCount();
  ShowLoadReport(report);
  return 0;
}

// The numbers are generated aside first: a mask that gives none (no *, more
// than four, too long) leaves the list as it was and is asked for again.
// The list is swapped away meanwhile: no listening may read it.
LRESULT CMainFrame::OnCmdGenerate(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending()) return 0;
  std::string mask = kMaskTemplate;
  CEngine& engine = GetEngine();
  std::vector<CListItem> generated;
  CListReport report;
  const bool listening = PauseListening();
  for (;;) {
    CEditStringDialog dialog(kMaskPrompt, mask.c_str(), 0, kMaskCaption);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) {
      if (listening) StartListening();
      return 0;
    }
    mask = dialog.GetText();
    engine.m_items.swap(generated);
    engine.GenerateFromMask(mask.c_str(), &report);
    engine.m_items.swap(generated);
    if (!generated.empty()) break;
    ShowMessage(kNoNumbersFromMask, kInfoCaption, MB_OK | MB_ICONINFORMATION);
  }
  if (!ConfirmListReset()) {
    if (listening) StartListening();
    return 0;
  }
  engine.m_items.swap(generated);
  ShowNewList();
  ShowLoadedCount();
  ShowLoadReport(report);
  return 0;
}

LRESULT CMainFrame::OnCmdAddNumber(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending()) return 0;
  std::string answer;
  for (;;) {
    CEditStringDialog dialog(kNumberPrompt, answer.c_str(), 1, kNumberCaption);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) return 0;
    answer = dialog.GetText();
    if (answer.size() == kNumberDigits) break;
    ShowMessage(kNumberLength, kInfoCaption, MB_OK | MB_ICONINFORMATION);
  }
  CListItem item;
  item.m_number = answer;
  item.m_state = Accepted;
  item.m_text = ReadMessageText();
  CListReport report;
  PauseListening();
  GetEngine().AddItem(item, &report);
  ShowNewList();
  ShowLoadReport(report);
  return 0;
}

// The dialog may search the ports and change the modem's: the listening
// gives the port up meanwhile, and takes the one chosen after.
LRESULT CMainFrame::OnCmdSetup(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending()) return 0;
  const bool listening = PauseListening();
  CSetupDialog dialog;
  dialog.DoModal(::GetActiveWindow());
  if (listening) StartListening();
  return 0;
}

// The numbers a run left "Без подтверждения" (the modem may have sent them)
// go out again once the operator has heard what that may mean; with them
// every number of the list not sent yet, as "Запустить" sends it.
LRESULT CMainFrame::OnCmdResendUnconfirmed(WORD, WORD, HWND, bool&) {
  if (!CheckNotSending()) return 0;
  const std::vector<CListItem>& items = GetEngine().m_items;
  const auto count = std::count_if(items.begin(), items.end(),
                                   [](const CListItem& item) { return item.m_state == Unconfirmed; });
  if (count == 0) {
    ShowMessage(kNoUnconfirmed, kInfoCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  const std::string question = kResendCount + std::to_string(count) + kResendQuestion;
  if (ShowMessage(question.c_str(), kQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
  LaunchDelivery(0, true);
  return 0;
}

LRESULT CMainFrame::OnCmdInbox(WORD, WORD, HWND, bool&) {
  CInboxDialog dialog;
  dialog.DoModal(::GetActiveWindow());
  return 0;
}

LRESULT CMainFrame::OnCmdAbout(WORD, WORD, HWND, bool&) {
  CAboutDlg dialog;
  dialog.DoModal(::GetActiveWindow());
  return 0;
}
