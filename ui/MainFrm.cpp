#include "ui/MainFrm.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

#include "engine/Engine.h"
#include "modem/Pdu.h"
#include "ui/framework/Text1251.h"

namespace {

// Named apart from the framework's default styles (CFrameWindowImplBase's
// kToolBarStyle and kReBarStyle), which a member function would otherwise
// find first.
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kMenuBarStyle = kChildStyle | TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NODIVIDER |
                                CCS_NOPARENTALIGN | CCS_NORESIZE;
constexpr DWORD kFrameToolBarStyle = kMenuBarStyle | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE;
constexpr DWORD kFrameReBarStyle =
    kChildStyle | RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;
constexpr DWORD kShowText = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
constexpr RECT kNoRect{0, 0, 0, 0};

struct ButtonLabel {
  UINT command;
  const char* text;
};
constexpr ButtonLabel kButtonLabels[] = {
    {ID_LIST_OPEN, "Открыть"},       {ID_DELIVERY_START, "Запустить"},
    {ID_DELIVERY_STOP, "Остановить"}, {ID_SETUP, "Настройка"},
    {ID_HELP_ABOUT, "О программе"},
};

constexpr char kListTitle[] = "Список";
constexpr char kTextTitle[] = "Текст";
constexpr char kReady[] = "Готов";
constexpr char kQuestion[] = "Вопрос";
constexpr char kExitWhileSending[] = "Запущен поток отправки. Завершить?";
constexpr char kExitQuestion[] = "Завершить приложение?";

// The commands a delivery refuses; greyed while it runs.
constexpr UINT kIdleCommands[] = {ID_LIST_CLEAR,     ID_LIST_OPEN,
                                  ID_LIST_ADD,       ID_LIST_GENERATE,
                                  ID_DELIVERY_START, ID_DELIVERY_START_SELECTED,
                                  ID_SETUP,          ID_DELIVERY_RESEND_UNCONFIRMED};
constexpr WORD kMenuAndToolBar = UPDUI_MENUPOPUP | UPDUI_TOOLBAR;

constexpr CUpdateUIEntry kUpdateUIMap[] = {
    {CMainFrame::kViewToolBar, UPDUI_MENUPOPUP},
    {CMainFrame::kViewStatusBar, UPDUI_MENUPOPUP},
    {ID_LIST_CLEAR, kMenuAndToolBar},
    {ID_LIST_OPEN, kMenuAndToolBar},
    {ID_LIST_ADD, kMenuAndToolBar},
    {ID_LIST_GENERATE, kMenuAndToolBar},
    {ID_DELIVERY_START, kMenuAndToolBar},
    {ID_DELIVERY_START_SELECTED, kMenuAndToolBar},
    {ID_SETUP, kMenuAndToolBar},
    {ID_DELIVERY_STOP, kMenuAndToolBar},
    {ID_DELIVERY_RESEND_UNCONFIRMED, UPDUI_MENUPOPUP},
};

// The delivery's reports, sent to the frame from the delivery's threads.
constexpr UINT kItemChangedMessage = WM_APP + 20;  // wParam: the item's index
constexpr UINT kRunStartedMessage = WM_APP + 21;
constexpr UINT kRunFinishedMessage = WM_APP + 22;

struct EncodingName {
  pdu::Encoding encoding;
  const char* name;
};
constexpr EncodingName kEncodingNames[] = {
    {pdu::Encoding::Gsm7, "7 бит"},
    {pdu::Encoding::Ucs2, "UCS2"},
    {pdu::Encoding::Ucs2Multipart, "UCS2"},
};

const char* NameOf(pdu::Encoding encoding) {
  for (const EncodingName& entry : kEncodingNames) {
    if (entry.encoding == encoding) return entry.name;
  }
  return "";
}

// Room around the tally's text in its part of the status bar, in pixels.
constexpr int kTallyMargin = 24;

}  // namespace

const CUpdateUIEntry (&CMainFrame::GetUpdateUIMap())[11] { return kUpdateUIMap; }

// The menu is the command bar's only: the window itself never shows it.
HWND CMainFrame::CreateMainWindow() { return CreateEx(IDR_VARNEK, nullptr, nullptr, 0, 0, false); }

bool CMainFrame::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
  using Self = CMainFrame;
  static constexpr CMessageEntry<Self> kMessages[] = {
      {WM_CREATE, WM_CREATE, &Self::OnCreate},
      {WM_CLOSE, WM_CLOSE, &Self::OnClose},
      {WM_DESTROY, WM_DESTROY, &Self::OnDestroy},
      {WM_CONTEXTMENU, WM_CONTEXTMENU, &Self::OnContextMenu},
      {WM_SIZE, WM_SIZE, &Self::OnSize},
      {kItemChangedMessage, kItemChangedMessage, &Self::OnItemChanged},
      {kRunStartedMessage, kRunStartedMessage, &Self::OnRunStarted},
      {kRunFinishedMessage, kRunFinishedMessage, &Self::OnRunFinished},
      {kListenNowMessage, kListenNowMessage, &Self::OnListenNow},
      {kListenEndedMessage, kListenEndedMessage, &Self::OnListenEnded},
      {kLogLostMessage, kLogLostMessage, &Self::OnLogLost},
  };
  static constexpr CCommandEntry<Self> kCommands[] = {
      {ID_HELP_ABOUT, kAnyCode, &Self::OnCmdAbout},
      {ID_LIST_CLEAR, kAnyCode, &Self::OnCmdClearList},
      {ID_LIST_OPEN, kAnyCode, &Self::OnCmdOpenList},
      {ID_LIST_ADD, kAnyCode, &Self::OnCmdAddNumber},
      {ID_LIST_GENERATE, kAnyCode, &Self::OnCmdGenerate},
      {ID_SETUP, kAnyCode, &Self::OnCmdSetup},
      {ID_DELIVERY_START, kAnyCode, &Self::OnCmdStart},
      {ID_DELIVERY_START_SELECTED, kAnyCode, &Self::OnCmdStartSelected},
      {ID_DELIVERY_STOP, kAnyCode, &Self::OnCmdStop},
      {ID_DELIVERY_RESEND_UNCONFIRMED, kAnyCode, &Self::OnCmdResendUnconfirmed},
      {ID_INBOX, kAnyCode, &Self::OnCmdInbox},
      {kAnyId, EN_CHANGE, &Self::OnMessageTextChanged},
  };
  if (RouteMessage(this, kMessages, message, wParam, lParam, result) ||
      RouteCommand(this, kCommands, message, wParam, lParam, result))
    return true;
  ProcessUpdateUIMessage(message, wParam);
  return m_CmdBar.ProcessParentMessage(message, wParam, lParam, result) ||
         CFrameWindowImplBase::ProcessWindowMessage(hWnd, message, wParam, lParam, result);
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  g_pMainFrame = this;
  if (!CreateBars() || !CreatePanes()) return -1;
  PlaceSplitter();
  UISetCheck(kViewToolBar, true);
  UISetCheck(kViewStatusBar, true);
  EnableCommands(true);
  CMessageLoop* loop = GetAppModule().GetMessageLoop();
  assert(loop != nullptr);
  if (loop) {
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
  }
  WatchLogs(true);
  g_pMainFrame->OnStatusText(kReady);
  return 0;
}

// The menu bar, the toolbar with its labels, the rebar holding both, the
// status bar.
bool CMainFrame::CreateBars() {
  if (!m_CmdBar.Create(m_hWnd, &kNoRect, nullptr, kMenuBarStyle)) return false;
  m_CmdBar.AttachMenu(m_hMenu);
  m_CmdBar.LoadImages(IDR_MAINFRAME);
  HWND toolBar = CreateToolBar();
  if (!toolBar) return false;
  if (!CreateSimpleReBar(kFrameReBarStyle)) return false;
  if (!AddSimpleReBarBand(m_CmdBar) || !AddSimpleReBarBand(toolBar, nullptr, true)) return false;
  m_CmdBar.AddToolbar(toolBar);
  m_CmdBar.PrepareReBar();
  if (!CreateSimpleStatusBar(IDS_READY)) return false;
  UIAddToolBar(toolBar);
  return true;
}

HWND CMainFrame::CreateToolBar() {
  HWND toolBar = CreateSimpleToolBarCtrl(m_hWnd, IDR_MAINFRAME, false, kFrameToolBarStyle);
  if (!toolBar) return nullptr;
  GetToolBarCommands(IDR_MAINFRAME);
  for (const ButtonLabel& label : kButtonLabels) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    ::SendMessageW(toolBar, TB_GETBUTTONINFOW, label.command, reinterpret_cast<LPARAM>(&info));
    const std::wstring text = ui::Wide1251(label.text);
    info.dwMask = TBIF_STYLE | TBIF_TEXT;
    info.fsStyle = static_cast<BYTE>(info.fsStyle | kShowText);
    info.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(toolBar, TB_SETBUTTONINFOW, label.command, reinterpret_cast<LPARAM>(&info));
  }
  ::SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
  return toolBar;
}

bool CMainFrame::CreatePanes() {
  m_hWndClient = m_splitter.Create(m_hWnd, &kNoRect, nullptr, kChildStyle);
  if (!m_hWndClient) return false;
  m_splitter.SetSplitterExtendedStyle(SPLIT_BOTTOMALIGNED);
  if (!m_listPane.Create(m_splitter, &kNoRect, nullptr, kChildStyle) ||
      !m_textPane.Create(m_splitter, &kNoRect, nullptr, kChildStyle))
    return false;
  m_listPane.SetTitle(kListTitle);
  m_textPane.SetTitle(kTextTitle);
  if (!m_edit.Create(m_textPane, &kNoRect, nullptr,
                     kChildStyle | WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE) ||
      !m_list.Create(m_listPane, &kNoRect, nullptr, kChildStyle | LVS_REPORT | LVS_SHOWSELALWAYS))
    return false;
  m_edit.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), true);
  m_listPane.SetClient(m_list);
  m_textPane.SetClient(m_edit);
  m_splitter.SetSplitterPanes(m_listPane, m_textPane);
  return true;
}

// The bar at four fifths of the client height; the lower pane keeps the
// height it gets here when the layout fits the splitter between the bars.
void CMainFrame::PlaceSplitter() {
  RECT client{};
  GetClientRect(&client);
  m_splitter.MoveWindow(0, 0, client.right - client.left, client.bottom - client.top);
  m_splitter.SetSplitterPos((client.bottom - client.top) * 4 / 5);
  m_splitter.UpdateSplitterLayout();
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  CEngine& engine = GetEngine();
  if (engine.m_thread != nullptr) {
    if (ShowMessage(kExitWhileSending, kQuestion, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return 0;
    m_closing = true;
    engine.BeginShutdown();
    WaitForWorkerDispatching(engine);
  } else if (!engine.m_items.empty()) {
    if (ShowMessage(kExitQuestion, kQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
  }
  m_closing = true;
  PauseListening();
  handled = false;
  return 0;
}

// The worker's reports are messages sent to this thread's windows; they are
// let through while waiting, so neither thread waits for the other.
void CMainFrame::WaitForWorkerDispatching(CEngine& engine) {
  constexpr DWORD kSlice = 20;
  WaitLettingSentMessagesIn([&engine] { return engine.WaitForWorker(0); }, kSlice);
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  m_closing = true;
  PauseListening();
  WatchLogs(false);
  if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  // The window never held the menu; the bar only borrows it.
  if (m_hMenu) {
    m_CmdBar.AttachMenu(nullptr);
    DestroyMenu(m_hMenu);
  }
  m_hMenu = nullptr;
  handled = false;
  return 0;
}

LRESULT CMainFrame::OnMessageTextChanged(WORD, WORD, HWND, bool&) {
  ShowTextForm();
  return 0;
}

// The parts and the encoding are those the delivery would send this text
// in: the first kMaxMessage characters, cleaned as for the phone.
void CMainFrame::ShowTextForm() {
  const int length = m_edit.GetWindowTextLength();
  std::string title = std::string(kTextTitle) + " - " + std::to_string(length);
  if (length > 0) {
    const std::string phone = pdu::CleanMessage(ReadMessageText().c_str());
    if (phone.empty()) {
      title += " (нет знаков для SMS)";
    } else {
      const pdu::MessageForm form = pdu::FormOfMessage(phone.c_str());
      title += " (" + std::to_string(form.parts) + " SMS, " + NameOf(form.encoding) + ")";
    }
    if (length > kMaxMessage) title += ", уйдут первые " + std::to_string(kMaxMessage);
  }
  m_textPane.SetTitle(title.c_str());
  m_textPane.InvalidateRect(nullptr, true);
  m_textPane.UpdateWindow();
}

LRESULT CMainFrame::OnSize(UINT, WPARAM, LPARAM lParam, bool& handled) {
  LayoutStatusParts(LOWORD(lParam));
  handled = false;  // the framework lays the bars and the splitter out
  return 0;
}

// The frame has no accelerator table: nothing to translate.
bool CMainFrame::PreTranslateMessage(MSG*) { return false; }

bool CMainFrame::OnIdle() {
  UIUpdateToolBar();
  return false;
}

void CMainFrame::OnListChanged(size_t index) { SendMessage(kItemChangedMessage, index); }

void CMainFrame::OnStatusText(const char* text) {
  const std::wstring wide = ui::Wide1251(text);
  ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void CMainFrame::OnDeliveryStarted() { SendMessage(kRunStartedMessage); }

void CMainFrame::OnDeliveryFinished() { SendMessage(kRunFinishedMessage); }

// The one item's row, the tally, and the number in hand kept in view. The
// list does not change during a delivery; the item is read under the
// engine's lock, as a modem may change it meanwhile.
LRESULT CMainFrame::OnItemChanged(UINT, WPARAM wParam, LPARAM, bool&) {
  const size_t index = wParam;
  CEngine& engine = GetEngine();
  if (index >= engine.m_items.size()) return 0;
  const CListItem item = engine.ItemSnapshot(index);
  m_list.RowChanged(index, item);
  if (item.m_state == Sending) m_list.FollowRow(static_cast<int>(index));
  m_tally.Change(index, item);
  ShowTally(m_running ? m_tally.ProgressText() : m_tally.SummaryText());
  return 0;
}

// Sent before the delivery changes any item: the states are read as they
// stand.
LRESULT CMainFrame::OnRunStarted(UINT, WPARAM, LPARAM, bool&) {
  m_running = true;
  m_edit.SendMessage(EM_SETREADONLY, TRUE);
  EnableCommands(false);
  m_tally.Reset(GetEngine().m_items);
  ShowTally(m_tally.ProgressText());
  m_list.FollowRow(-1);
  return 0;
}

// Sent after every modem of the delivery has ended: no item changes any
// more (until reports come), and the columns can be fitted to what the list
// now shows.
LRESULT CMainFrame::OnRunFinished(UINT, WPARAM, LPARAM, bool&) {
  m_running = false;
  CEngine& engine = GetEngine();
  engine.m_resendUnconfirmed = false;
  m_edit.SendMessage(EM_SETREADONLY, FALSE);
  EnableCommands(true);
  ShowTally(m_tally.SummaryText());
  m_list.AutoSizeColumns();
  if (engine.m_requestReports != 0 && !m_closing) {
    m_listenPending = true;
    PostMessage(kListenNowMessage);
  }
  return 0;
}

// The refusal of CheckNotSending stays behind this: the engine's m_thread is
// cleared a moment after the delivery's last report.
void CMainFrame::EnableCommands(bool idle) {
  for (UINT command : kIdleCommands) UIEnable(command, idle);
  UIEnable(ID_DELIVERY_STOP, !idle);
  UIUpdateToolBar();
}

void CMainFrame::ShowTally(const std::string& text) {
  m_tallyText = text;
  RECT client{};
  GetClientRect(&client);
  LayoutStatusParts(client.right - client.left);
  const std::wstring wide = ui::Wide1251(text);
  ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(wide.c_str()));
}

// The first part of the status bar (the delivery's status) takes what the tally leaves.
void CMainFrame::LayoutStatusParts(int width) {
  if (!m_hWndStatusBar) return;
  if (m_tallyText.empty()) {
    int whole[] = {-1};
    ::SendMessageW(m_hWndStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(whole));
    return;
  }
  const int tally = CWindow(m_hWndStatusBar).TextWidth(m_tallyText);
  int edges[] = {std::max(width - tally - kTallyMargin, width / 3), -1};
  ::SendMessageW(m_hWndStatusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

int CMainFrame::ShowMessage(const char* text, const char* caption, UINT flags) const {
  return MessageBoxW(m_hWnd, ui::Wide1251(text).c_str(), ui::Wide1251(caption).c_str(), flags);
}
