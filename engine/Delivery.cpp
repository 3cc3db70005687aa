// The delivery as a whole: its thread, the modems of a pool on threads of
// their own, the stop and the shutdown.
#include <chrono>

#include "engine/DeliveryReport.h"
#include "engine/DeliveryWorker.h"
#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "platform/Random.h"

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
  delivery::Status(delivery::kStoppingText);
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
  delivery::Status(delivery::kSendingText);
  m_tries.assign(m_items.size(), 0);
  // Without the check twins go out each: they share no key.
  m_queue.Begin(static_cast<uint32_t>(m_position.load()), m_items.size(), [this](size_t i) {
    return m_checkDuplicates != 0 ? CMarkerStore::KeyOf(m_items[i].m_number) : std::string();
  });
  if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryStarted();
  RunModems();
  if (g_pMainFrame != nullptr) g_pMainFrame->OnDeliveryFinished();
  delivery::Status(delivery::kReadyText);
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
