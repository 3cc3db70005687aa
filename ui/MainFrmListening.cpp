// What the window does after the messages went out: it listens for status
// reports and replies while it stays open, and it tells the operator when
// the logs stop being written.
#include <memory>
#include <string>

#include "engine/Engine.h"
#include "modem/Log.h"
#include "platform/CodePage.h"
#include "ui/MainFrm.h"
#include "ui/framework/Text1251.h"

namespace {

constexpr char kListening[] = "Ожидание отчетов о доставке...";
constexpr char kReady[] = "Готов";
constexpr char kInfoCaption[] = "Сообщение";
constexpr char kLogsLost[] = "Журналы больше не записываются в папку\n";

}  // namespace

// Posted when a delivery with reports asked for has finished: its thread
// still shows its last status and then goes; the modem is free after that.
LRESULT CMainFrame::OnListenNow(UINT, WPARAM, LPARAM, bool&) {
  if (!m_listenPending || m_closing) return 0;
  m_listenPending = false;
  WaitForWorkerDispatching(GetEngine());
  StartListening();
  return 0;
}

void CMainFrame::StartListening() {
  CEngine& engine = GetEngine();
  if (engine.m_requestReports == 0 || m_closing) return;
  if (m_listener.Start(engine, m_hWnd, kListenEndedMessage)) OnStatusText(kListening);
}

// No modem answered, or it was lost: nothing more comes. Why a modem was
// not read stays in the status bar.
LRESULT CMainFrame::OnListenEnded(UINT, WPARAM, LPARAM, bool&) {
  if (!m_listener.Active() || !m_listener.Ended()) return 0;  // stopped, perhaps started anew
  m_listener.Stop();
  wchar_t shown[64] = {};
  if (LOWORD(::SendMessageW(m_hWndStatusBar, SB_GETTEXTLENGTHW, 0, 0)) < 64)
    ::SendMessageW(m_hWndStatusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
  if (ui::Narrow1251(shown) == kListening) OnStatusText(kReady);
  return 0;
}

bool CMainFrame::PauseListening() {
  bool listening = m_listenPending;
  m_listenPending = false;
  if (m_listener.Active()) {
    listening = listening || !m_listener.Ended();
    m_listener.Stop();
    if (!m_closing) OnStatusText(kReady);
  }
  return listening;
}

// The log tells of its first lost line on whatever thread lost it; the
// message is shown on the window's.
void CMainFrame::WatchLogs(bool watch) {
  if (!watch) {
    GetLog().SetFailureListener(nullptr);
    return;
  }
  const HWND frame = m_hWnd;
  GetLog().SetFailureListener([frame](const std::string& folder, const std::string& reason) {
    auto text = std::make_unique<std::string>(kLogsLost + folder + "\n" + platform::Utf8ToCp1251(reason));
    if (::PostMessageW(frame, kLogLostMessage, 0, reinterpret_cast<LPARAM>(text.get()))) text.release();
  });
}

LRESULT CMainFrame::OnLogLost(UINT, WPARAM, LPARAM lParam, bool&) {
  const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
  ShowMessage(text->c_str(), kInfoCaption, MB_OK | MB_ICONINFORMATION);
  return 0;
}
