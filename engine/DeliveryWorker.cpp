// The delivery: one thread per modem, each sending the message to the
// numbers it takes from the list (CNumberQueue), reporting through
// g_pMainFrame. With the duplicate check on, each number is claimed in the
// marker folder before it goes to the modem (CMarkerStore).
#include <chrono>
#include <cstdio>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "engine/NumberForm.h"
#include "modem/Log.h"
#include "modem/Modem.h"
#include "platform/CodePage.h"
#include "platform/Random.h"

IMainFrame* g_pMainFrame = nullptr;

namespace {

constexpr char kSendingText[] = "Идет отправка сообщений...";
constexpr char kPortErrorText[] = "Ошибка порта, повторный запуск через %d сек...";
constexpr char kPauseText[] = "Таймаут %i сек ...";
constexpr char kReadyText[] = "Готов";
constexpr char kStoppingText[] = "Остановка...";
constexpr int kPortRetrySeconds = 10;
// A number that another process has in hand is looked at again after this
// long: well below the time of one message on a real modem, and seldom
// enough that a share serving several PCs hardly notices.
constexpr uint32_t kLookAgainMs = 500;

// The items' causes (1251) where the claims decide.
constexpr char kUnconfirmedCause[] = "Отправка прервана, сообщение могло уйти: ";
constexpr char kNoClaimCause[] = "Папка маркеров недоступна: ";
constexpr char kNoMarkerCause[] = "Маркер не записан";

void Status(const char* text) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnStatusText(text);
}

void ItemChanged(size_t index) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnListChanged(index);
}

// What the claims decide is named in the "engine" log.
void LogClaim(const std::string& text) {
  GetLog().Write("engine", "DeliveryWorker", 0, text.c_str());
}

}  // namespace

// The steps of one modem, on its own thread: it takes numbers until none is
// left or a stop comes.
class CDeliveryWorker {
 public:
  // port: the engine's field that names the modem's COM number, read at
  // every capture.
  CDeliveryWorker(CEngine& engine, const int32_t& port)
      : m_engine(engine), m_queue(engine.m_queue), m_port(port) {}

  void Run() {
    try {
      CNumberTicket ticket;
      while (m_queue.Take(ticket)) HandleItem(ticket);
    } catch (...) {
      // The delivery ends in order: every other modem stops after the
      // number in hand, the engine is left idle, the window editable.
      m_engine.StopTaking();
    }
  }

 private:
  void HandleItem(CNumberTicket& ticket) {
    const size_t i = ticket.Index();
    if (m_engine.m_items[i].m_state == Sent) {
      ticket.Finish();
      return;
    }
    CNumberClaim claim;  // none with the check off: nothing to guard
    if (m_engine.m_checkDuplicates != 0 && !ClaimNumber(ticket, claim)) return;
    SetState(i, Sending);
    CSendResult result;
    const bool captured = SendItem(i, result);
    Settle(i, captured, result, claim);
    if (!captured) {
      // Another modem may take it meanwhile; with none, this one tries it
      // again after the countdown.
      ticket.GiveBack();
      CountDownPortError();
      Report(kSendingText);
      return;
    }
    ticket.Finish();
    if (result.outcome == SendOutcome::Sent) Pause();
  }

  // Puts the number in this process's hand. false when it does not go to
  // the modem now: its state says why, or it comes back later.
  bool ClaimNumber(CNumberTicket& ticket, CNumberClaim& claim) {
    const size_t i = ticket.Index();
    const std::string& number = m_engine.m_items[i].m_number;
    const CMarkerStore markers = m_engine.Markers();
    std::string detail;
    const ClaimOutcome outcome = markers.Claim(number, m_engine.m_resendUnconfirmed, claim, detail);
    const std::string why = platform::Utf8ToCp1251(detail);
    switch (outcome) {
      case ClaimOutcome::Claimed:
        if (!why.empty()) {
          LogClaim(number + " sent again: " + markers.ClaimPath(number) + " of \"" + why +
                   "\" taken over");
        }
        return true;
      case ClaimOutcome::HeldElsewhere:
        ticket.Defer(kLookAgainMs);
        return false;
      case ClaimOutcome::Marked:
        SetState(i, Duplicate);
        break;
      case ClaimOutcome::Unconfirmed:
        LogClaim(number + " unconfirmed: " + markers.ClaimPath(number) + " was left by \"" + why +
                 "\" and no process holds it: not sent");
        SetState(i, Unconfirmed, kUnconfirmedCause + why);
        break;
      case ClaimOutcome::Failed:
        LogClaim(number + " not sent: no claim in " + markers.Folder() + ": " + why);
        SetState(i, SendError, kNoClaimCause + why);
        break;
    }
    ticket.Finish();
    return false;
  }

  // The steps of one number on a modem object of its own: capture, send,
  // release. false when the modem could not be captured.
  bool SendItem(size_t i, CSendResult& result) {
    // "8 912 ..." and ten digits go out in the international form.
    const std::string sent = NumberForm(m_engine.m_items[i].m_number.c_str()).m_number;
    std::u16string number = platform::Cp1251ToUtf16(sent);
    std::u16string message = platform::Cp1251ToUtf16(m_engine.m_message);
    CModem modem;
    modem.SetBaudRate(m_engine.m_baudRate);
    modem.SetPiecePause(m_engine.m_piecePause);
    int ready = 0;
    modem.CaptureModemDevice(ready, m_port);
    int reference = 0;
    if (ready != 0) modem.SendSMSWide(number.c_str(), message.c_str(), reference, &result);
    modem.ReleaseModemDevice();
    return ready != 0;
  }

  // The claim and the item after the modem had the number.
  void Settle(size_t i, bool captured, const CSendResult& result, CNumberClaim& claim) {
    if (!captured) {
      claim.Drop();
      SetState(i, PortError);
      return;
    }
    switch (result.outcome) {
      case SendOutcome::Sent:
        // The marker first: a window that shows Sent finds it written.
        if (claim.Confirm()) {
          SetState(i, Sent);
          return;
        }
        LogClaim(m_engine.m_items[i].m_number + " sent, but its marker cannot be written in " +
                 m_engine.Markers().Folder() + ": its claim stays");
        SetState(i, Sent, kNoMarkerCause);
        return;
      case SendOutcome::Unconfirmed:
        // It may be on its way: the claim stays, so that no run sends it again.
        claim.Leave();
        SetState(i, Unconfirmed, result.cause);
        return;
      case SendOutcome::Refused:
      case SendOutcome::NotSent:
      case SendOutcome::Invalid:
        claim.Drop();
        SetState(i, SendError, result.cause);
        return;
    }
  }

  void SetState(size_t i, DeliveryState state, const std::string& cause = std::string()) {
    {
      std::lock_guard<std::mutex> guard(m_engine.m_itemLock);
      CListItem& item = m_engine.m_items[i];
      item.m_state = state;
      item.m_cause = cause;
      item.m_modem = m_port;
    }
    ItemChanged(i);
  }

  void Report(const char* text) { Status(text); }

  // Ten seconds, one status line a second. Ends early when a stop came
  // during it, its last second included, so that a stop never leads to
  // another capture; in a pool also when the others have finished the list.
  void CountDownPortError() {
    char text[100];
    for (int k = 0; k < kPortRetrySeconds; ++k) {
      if (m_queue.Finished()) return;
      std::snprintf(text, sizeof text, kPortErrorText, kPortRetrySeconds - k);
      Report(text);
      if (!m_engine.SleepUnlessShutdown(1000)) return;
    }
  }

  // A random pause between the two limits after a message that went out.
  // Negative limits count as 0; the pause is slept a second at a time, so
  // that any length can be expressed and a shutdown ends it at once.
  void Pause() {
    long long low = m_engine.m_minPause > 0 ? m_engine.m_minPause : 0;
    long long seconds = low;
    if (m_engine.m_maxPause > m_engine.m_minPause) {
      long long r = platform::ThreadRand() & 0xFF;
      seconds = m_engine.m_minPause + r * (static_cast<long long>(m_engine.m_maxPause) - m_engine.m_minPause) / 255;
      if (seconds < 0) seconds = 0;
    }
    char text[100];
    std::snprintf(text, sizeof text, kPauseText, static_cast<int>(seconds));
    Report(text);
    for (long long s = 0; s < seconds; ++s) {
      if (!m_engine.SleepUnlessShutdown(1000)) break;
    }
    Report(kSendingText);
  }

  CEngine& m_engine;
  CNumberQueue& m_queue;
  const int32_t& m_port;
};

std::thread* CEngine::StartDelivery() {
  std::lock_guard<std::mutex> guard(m_threadLock);
  if (m_thread != nullptr) return nullptr;
  m_shuttingDown = false;
  try {
    // The worker's end takes m_threadLock too, so m_thread is stored before
    // the worker can clear it, even for an empty range.
    m_thread = new std::thread(&CEngine::DeliveryWorker, this);
  } catch (...) {
    return nullptr;  // no thread could be made; the engine stays idle
  }
  return m_thread;
}

void CEngine::StopDelivery() {
  StopTaking();
  Status(kStoppingText);
}

void CEngine::StopTaking() {
  m_position = static_cast<int32_t>(m_items.size());
  m_queue.Stop();
}

void CEngine::BeginShutdown() {
  // The stop first: a modem woken from its sleep takes nothing more.
  StopTaking();
  std::lock_guard<std::mutex> guard(m_sleepLock);
  m_shuttingDown = true;
  m_wake.notify_all();
}

bool CEngine::SleepUnlessShutdown(uint32_t milliseconds) {
  std::unique_lock<std::mutex> lock(m_sleepLock);
  return !m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds),
                          [this] { return m_shuttingDown.load(); });
}

bool CEngine::WaitForWorker(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(m_threadLock);
  auto idle = [this] { return m_thread == nullptr; };
  if (timeoutMs == UINT32_MAX) {
    m_threadEnded.wait(lock, idle);
    return true;
  }
  return m_threadEnded.wait_for(lock, std::chrono::milliseconds(timeoutMs), idle);
}

void CEngine::DeliveryWorker() {
  Status(kSendingText);
  // Without the check twins go out each: they share no key.
  m_queue.Begin(static_cast<uint32_t>(m_position.load()), m_items.size(), [this](size_t i) {
    return m_checkDuplicates != 0 ? CMarkerStore::KeyOf(m_items[i].m_number) : std::string();
  });
  if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryStarted();
  RunModems();
  if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryFinished();
  Status(kReadyText);
  std::lock_guard<std::mutex> guard(m_threadLock);
  std::thread* self = m_thread.exchange(nullptr);
  self->detach();
  delete self;
  // Notified under the lock: a waiter cannot return, and perhaps destroy the
  // engine, before this thread is done with it.
  m_threadEnded.notify_all();
}

void CEngine::RunModems() {
  if (m_poolPorts.empty()) {
    CDeliveryWorker(*this, m_port).Run();
    return;
  }
  std::vector<std::thread> others;
  for (size_t k = 1; k < m_poolPorts.size(); ++k) {
    try {
      others.emplace_back([this, k] {
        // Each modem draws its own pauses: the first from seed 1 as the
        // window's one modem does, the others from seeds of their own.
        platform::ThreadRandSeed(static_cast<unsigned>(k + 1));
        CDeliveryWorker(*this, m_poolPorts[k]).Run();
      });
    } catch (...) {
      break;  // no more threads: the modems that have one share the list
    }
  }
  CDeliveryWorker(*this, m_poolPorts[0]).Run();
  for (std::thread& other : others) other.join();
}
