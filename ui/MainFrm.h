#pragma once
// CMainFrame: the program's one top-level window. The flat menu bar and the
// toolbar in a rebar, the status bar, and a splitter with the phone list
// above and the message editor below, each in a titled green pane. Every
// command arrives here; the delivery worker reports through IMainFrame.
#include <windows.h>

#include <string>

#include "engine/MainFrameInterface.h"
#include "res/resource.h"
#include "ui/DeliveryTally.h"
#include "ui/GreenPane.h"
#include "ui/ReportListener.h"
#include "ui/VarnekEditView.h"
#include "ui/VarnekListView.h"
#include "ui/framework/FrameWindow.h"
#include "ui/framework/MessageLoop.h"
#include "ui/framework/Splitter.h"
#include "ui/framework/ToolBarCommands.h"
#include "ui/framework/UpdateUI.h"
#include "ui/xpbar/atlctrlxp.h"

class CEngine;
class CListReport;

class CMainFrame : public CFrameWindowImpl<CMainFrame>,
                   public CUpdateUI<CMainFrame>,
                   public CMessageFilter,
                   public CIdleHandler,
                   public IMainFrame,
                   public CCustomizableToolBarCommands<CMainFrame> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{nullptr, nullptr, 0, nullptr, IDC_ARROW, IDR_VARNEK};
    return info;
  }
  // The framework's toolbar and status-bar visibility; no menu shows them.
  static constexpr UINT kViewToolBar = 59392;
  static constexpr UINT kViewStatusBar = 59393;
  // Those two, and the commands a delivery disables (Stop: those it enables).
  static const CUpdateUIEntry (&GetUpdateUIMap())[11];

  // The frame window from resources 129 at the default place and size.
  HWND CreateMainWindow();

  bool PreTranslateMessage(MSG* message) override;
  bool OnIdle() override;

  // The delivery's reports, from its threads: each is handed to the
  // window's thread, and the caller waits until it has been handled there.
  void OnListChanged(size_t index) override;
  void OnStatusText(const char* text) override;
  void OnDeliveryStarted() override;
  void OnDeliveryFinished() override;

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  CVarnekEditView m_edit;
  CVarnekListView m_list;
  CGreenPane m_textPane;
  CGreenPane m_listPane;
  CSplitterWindowT<false> m_splitter;
  CCommandBarXPCtrl m_CmdBar;

  // The longest message, in characters.
  static constexpr int kMaxMessage = 498;

 private:
  // Posted to the frame by itself, by the listening thread and by the log.
  static constexpr UINT kListenNowMessage = WM_APP + 23;
  static constexpr UINT kListenEndedMessage = WM_APP + 24;
  static constexpr UINT kLogLostMessage = WM_APP + 25;  // lParam: a new std::string (1251)

  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMessageTextChanged(WORD code, WORD id, HWND control, bool& handled);
  // "Текст - <length> (<parts> SMS, <encoding>)" as the lower pane's title,
  // drawn at once.
  void ShowTextForm();

  // The delivery's reports on the window's thread.
  LRESULT OnItemChanged(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnRunStarted(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnRunFinished(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Listening after a delivery with reports asked for (MainFrmListening.cpp):
  // it begins once the delivery's thread has gone, and ends before the list,
  // the port or the modem's use changes, and at exit.
  LRESULT OnListenNow(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnListenEnded(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void StartListening();
  // Ends the listening (and one about to begin); true when it was listening.
  bool PauseListening();
  // A log line lost after the logs were found writable: said once.
  LRESULT OnLogLost(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void WatchLogs(bool watch);
  // Disables the commands a delivery refuses (and enables Stop), or the
  // other way round.
  void EnableCommands(bool idle);
  // The tally in the status bar's second part, sized to it; "" removes
  // that part.
  void ShowTally(const std::string& text);
  void LayoutStatusParts(int width);

  // OnCreate's parts; false when a window cannot be made.
  bool CreateBars();
  HWND CreateToolBar();
  bool CreatePanes();
  void PlaceSplitter();

  // The commands (MainFrmCommands.cpp).
  LRESULT OnContextMenu(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Where the keyboard opens the list's context menu, on the screen.
  POINT ListMenuPoint() const;
  LRESULT OnCmdAbout(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdClearList(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdOpenList(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdAddNumber(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdGenerate(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdSetup(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdStart(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdStartSelected(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdStop(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdResendUnconfirmed(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCmdInbox(WORD code, WORD id, HWND control, bool& handled);

  bool CheckNotSending();
  bool ConfirmListReset();
  void ShowLoadedCount();
  // A message naming what the loader did not take as it stood; none when it
  // took every line so.
  void ShowLoadReport(const CListReport& report);
  // The list view shows the engine's list anew; the last run's tally goes.
  void ShowNewList();
  // resendUnconfirmed: numbers a run left unconfirmed go out again.
  void LaunchDelivery(int from, bool resendUnconfirmed = false);
  // Whether the markers (with the check on) and the logs can be written; a
  // message says why not. No markers: no delivery, numbers could go out
  // twice; no logs: the operator decides.
  bool FoldersAllowDelivery();
  // The editor's text, at most kMaxMessage characters (1251).
  std::string ReadMessageText() const;
  // A message box owned by the frame; texts in 1251.
  int ShowMessage(const char* text, const char* caption, UINT flags) const;
  // Program exit during a delivery: the worker ends while the messages it
  // sends to the windows are still handled here.
  void WaitForWorkerDispatching(CEngine& engine);

  CDeliveryTally m_tally;
  std::string m_tallyText;
  bool m_running = false;        // between the delivery's start and finish reports
  CReportListener m_listener;
  bool m_listenPending = false;  // a delivery ended; the listening begins when its thread has gone
  bool m_closing = false;        // the operator agreed to close: nothing new begins
};
