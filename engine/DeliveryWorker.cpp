// The delivery: one thread per modem, each sending the message to the
// numbers it takes from the list (CNumberClaims), reporting through
// g_pMainFrame.
#include <chrono>
#include <cstdio>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "engine/NumberForm.h"
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

void Status(const char* text) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnStatusText(text);
}

DeliveryState StateAfter(const CSendResult& result) {
  switch (result.outcome) {
    case SendOutcome::Sent: return Sent;
    case SendOutcome::Unconfirmed: return Unconfirmed;
    default: return SendError;
  }
}

void ItemChanged(size_t index) {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnListChanged(index);
}

}  // namespace

// The steps of one modem, on its own thread: it takes numbers until none is
// left or a stop comes.
class CDeliveryWorker {
 public:
  // port: the engine's field that names the modem's COM number, read at
  // every capture.
  CDeliveryWorker(CEngine& engine, const int32_t& port)
      : m_engine(engine), m_claims(engine.m_claims), m_port(port) {}

  void Run() {
    size_t i = 0;
    try {
      while (m_claims.Take(i)) {
        if (HandleItem(m_engine.m_items[i], i)) m_claims.Advance();
      }
    } catch (...) {
      // The delivery ends in order: every other modem stops after the
      // number in hand, the engine is left idle, the window editable.
      m_claims.Stop();
    }
  }

 private:
  // false when the number went back after a port error.
  bool HandleItem(CListItem& item, size_t i) {
    if (item.m_state == Sent) {
      m_claims.Release(i);
      return true;
    }
    if (!m_engine.IsNewNumber(item.m_number.c_str())) {
      SetState(i, Duplicate);
      m_claims.Release(i);
      return true;
    }
    SetState(i, Sending);
    if (!SendItem(i)) {
      // Another modem may take it meanwhile; with none, this one tries it
      // again after the countdown.
      m_claims.GiveBack(i);
      CountDownPortError();
      Report(kSendingText);
      return false;
    }
    m_claims.Release(i);
    if (item.m_state == Sent) Pause();
    return true;
  }

  // The steps of one number on a modem object of its own: capture, send,
  // mark, release. false when the modem could not be captured; the item then
  // shows PortError.
  bool SendItem(size_t i) {
    CListItem& item = m_engine.m_items[i];
    // "8 912 ..." and ten digits go out in the international form.
    std::u16string number = platform::Cp1251ToUtf16(NumberForm(item.m_number.c_str()).m_number);
    std::u16string message = platform::Cp1251ToUtf16(m_engine.m_message);
    CModem modem;
    modem.SetBaudRate(m_engine.m_baudRate);
    modem.SetPiecePause(m_engine.m_piecePause);
    int ready = 0;
    modem.CaptureModemDevice(ready, m_port);
    if (ready == 0) {
      SetState(i, PortError);
      modem.ReleaseModemDevice();
      return false;
    }
    int reference = 0;
    CSendResult result;
    modem.SendSMSWide(number.c_str(), message.c_str(), reference, &result);
    // The marker first: a window that shows Sent finds it written.
    if (reference != 0) m_engine.MarkNumber(item.m_number.c_str());
    SetState(i, StateAfter(result), result.cause);
    modem.ReleaseModemDevice();
    return true;
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
      if (m_claims.Finished()) return;
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
  CNumberClaims& m_claims;
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
  m_claims.Stop();
  Status(kStoppingText);
}

void CEngine::BeginShutdown() {
  // The stop first: a modem woken from its sleep takes nothing more.
  m_claims.Stop();
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
  m_claims.Begin();
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
