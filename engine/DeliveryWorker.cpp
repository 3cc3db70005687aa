// The delivery worker: one thread that sends the message to the numbers of
// the list from m_position on, and reports through g_pMainFrame.
#include <chrono>
#include <cstdio>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
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

void ListChanged() {
  if (g_pMainFrame != nullptr) g_pMainFrame->OnListChanged();
}

}  // namespace

// The steps of one delivery, on the worker's thread.
class CDeliveryWorker {
 public:
  explicit CDeliveryWorker(CEngine& engine) : m_engine(engine) {}

  void Run() {
    Status(kSendingText);
    unsigned i = static_cast<unsigned>(m_engine.m_position.load());
    if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryStarted();
    try {
      while (i < m_engine.m_items.size() && !m_engine.m_shuttingDown) {
        if (HandleItem(i)) i = static_cast<unsigned>(++m_engine.m_position);
      }
    } catch (...) {
      // The delivery ends in order: the engine is left idle, the window editable.
    }
    if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryFinished();
    Status(kReadyText);
  }

 private:
  // false when the same item is to be tried again (a port error).
  bool HandleItem(unsigned& i) {
    CListItem& item = m_engine.m_items[i];
    if (item.m_state == Sent) return true;
    if (!m_engine.IsNewNumber(item.m_number.c_str())) {
      SetState(item, Duplicate);
      return true;
    }
    item.m_refusal.clear();
    SetState(item, Sending);
    if (!SendItem(item)) {
      if (CountDownPortError()) i = static_cast<unsigned>(m_engine.m_position.load());
      Status(kSendingText);
      return false;
    }
    if (item.m_state == Sent) Pause();
    return true;
  }

  // The steps of one number on a modem object of its own: capture, send,
  // mark, release. false when the modem could not be captured; the item then
  // shows PortError.
  bool SendItem(CListItem& item) {
    std::u16string number = platform::Cp1251ToUtf16(item.m_number);
    std::u16string message = platform::Cp1251ToUtf16(m_engine.m_message);
    CModem modem;
    modem.SetBaudRate(m_engine.m_baudRate);
    modem.SetPiecePause(m_engine.m_piecePause);
    int ready = 0;
    modem.CaptureModemDevice(ready, m_engine.m_port);
    if (ready == 0) {
      SetState(item, PortError);
      modem.ReleaseModemDevice();
      return false;
    }
    int reference = 0;
    modem.SendSMSWide(number.c_str(), message.c_str(), reference, &item.m_refusal);
    if (reference != 0) {
      item.m_state = Sent;
      m_engine.MarkNumber(item.m_number.c_str());
    } else {
      item.m_state = SendError;
    }
    ListChanged();
    modem.ReleaseModemDevice();
    return true;
  }

  void SetState(CListItem& item, DeliveryState state) {
    item.m_state = state;
    ListChanged();
  }

  // Ten seconds, one status line a second; true when a stop came during it,
  // its last second included, so that a stop never leads to another capture.
  bool CountDownPortError() {
    char text[100];
    for (int k = 0; k < kPortRetrySeconds; ++k) {
      if (StopRequested()) return true;
      std::snprintf(text, sizeof text, kPortErrorText, kPortRetrySeconds - k);
      Status(text);
      if (!m_engine.SleepUnlessShutdown(1000)) return true;
    }
    return StopRequested();
  }

  bool StopRequested() const {
    return static_cast<size_t>(m_engine.m_position.load()) == m_engine.m_items.size() ||
           m_engine.m_shuttingDown;
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
    Status(text);
    for (long long s = 0; s < seconds; ++s) {
      if (!m_engine.SleepUnlessShutdown(1000)) break;
    }
    Status(kSendingText);
  }

  CEngine& m_engine;
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
  m_position = static_cast<int32_t>(m_items.size());
  Status(kStoppingText);
}

void CEngine::BeginShutdown() {
  std::lock_guard<std::mutex> guard(m_sleepLock);
  m_shuttingDown = true;
  m_position = static_cast<int32_t>(m_items.size());
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
  CDeliveryWorker(*this).Run();
  std::lock_guard<std::mutex> guard(m_threadLock);
  std::thread* self = m_thread.exchange(nullptr);
  self->detach();
  delete self;
  // Notified under the lock: a waiter cannot return, and perhaps destroy the
  // engine, before this thread is done with it.
  m_threadEnded.notify_all();
}
