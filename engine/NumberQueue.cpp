#include "engine/NumberQueue.h"

#include <algorithm>
#include <utility>

CNumberTicket::CNumberTicket(CNumberTicket&& other) noexcept
    : m_queue(std::exchange(other.m_queue, nullptr)), m_index(other.m_index) {}

CNumberTicket& CNumberTicket::operator=(CNumberTicket&& other) noexcept {
  if (this != &other) {
    GiveBack();
    m_queue = std::exchange(other.m_queue, nullptr);
    m_index = other.m_index;
  }
  return *this;
}

void CNumberTicket::Finish() {
  if (m_queue != nullptr) std::exchange(m_queue, nullptr)->Finish(m_index);
}

void CNumberTicket::GiveBack() {
  if (m_queue != nullptr) std::exchange(m_queue, nullptr)->GiveBack(m_index);
}

void CNumberTicket::Defer(uint32_t milliseconds) {
  if (m_queue != nullptr) std::exchange(m_queue, nullptr)->Defer(m_index, milliseconds);
}

void CNumberQueue::Begin(size_t first, size_t end, KeyFunction keyOf) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_keyOf = std::move(keyOf);
  m_next = first;
  m_end = end;
  m_stopped = false;
  m_ready.clear();
  m_deferred.clear();
  m_keyHolders.clear();
  m_parked.clear();
}

bool CNumberQueue::Take(CNumberTicket& ticket) {
  ticket.GiveBack();
  std::unique_lock<std::mutex> lock(m_lock);
  size_t index = 0;
  for (;;) {
    if (FinishedLocked()) return false;
    ReturnDue();
    if (TakeReady(index)) break;
    // What is left is in other hands, or held elsewhere until its time.
    ++m_waiting;
    if (m_deferred.empty()) {
      m_changed.wait(lock);
    } else {
      // A copy: the list may change while this modem sleeps.
      const Clock::time_point due = std::min_element(m_deferred.begin(), m_deferred.end())->first;
      m_changed.wait_until(lock, due);
    }
    --m_waiting;
  }
  ticket.m_queue = this;
  ticket.m_index = index;
  return true;
}

void CNumberQueue::Stop() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_stopped = true;
  m_changed.notify_all();
}

bool CNumberQueue::Finished() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return FinishedLocked();
}

bool CNumberQueue::AnyLeft() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return !FinishedLocked() &&
         (m_next < m_end || !m_ready.empty() || !m_deferred.empty() || !m_parked.empty());
}

size_t CNumberQueue::Waiting() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_waiting;
}

bool CNumberQueue::FinishedLocked() const {
  // Compared as unsigned: a negative position is past any list.
  return m_stopped || static_cast<uint32_t>(m_position.load()) >= m_end;
}

void CNumberQueue::Finish(size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  const std::string key = m_keyOf ? m_keyOf(index) : std::string();
  auto holder = m_keyHolders.find(key);
  if (holder != m_keyHolders.end() && holder->second == index) {
    m_keyHolders.erase(holder);
    auto parked = m_parked.find(key);
    if (parked != m_parked.end()) {
      m_ready.insert(*parked->second.begin());
      parked->second.erase(parked->second.begin());
      if (parked->second.empty()) m_parked.erase(parked);
    }
  }
  // Never past the end, so that a stop that stored the end meanwhile stays.
  int32_t position = m_position.load();
  while (static_cast<uint32_t>(position) < m_end &&
         !m_position.compare_exchange_weak(position, position + 1)) {
  }
  m_changed.notify_all();
}

void CNumberQueue::GiveBack(size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_ready.insert(index);  // its key stays with it: its twins keep waiting
  m_changed.notify_all();
}

void CNumberQueue::Defer(size_t index, uint32_t milliseconds) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_deferred.emplace_back(Clock::now() + std::chrono::milliseconds(milliseconds), index);
  // A modem asleep until a later time must now wake at this one.
  m_changed.notify_all();
}

void CNumberQueue::ReturnDue() {
  const Clock::time_point now = Clock::now();
  auto due = std::partition(m_deferred.begin(), m_deferred.end(),
                            [now](const auto& entry) { return entry.first > now; });
  for (auto entry = due; entry != m_deferred.end(); ++entry) m_ready.insert(entry->second);
  m_deferred.erase(due, m_deferred.end());
}

bool CNumberQueue::TakeReady(size_t& index) {
  while (!m_ready.empty() || m_next < m_end) {
    const bool fromReady = !m_ready.empty();
    const size_t next = fromReady ? *m_ready.begin() : m_next;
    if (fromReady) {
      m_ready.erase(m_ready.begin());
    } else {
      ++m_next;
    }
    if (Hold(next)) {
      index = next;
      return true;
    }
  }
  return false;
}

bool CNumberQueue::Hold(size_t index) {
  const std::string key = m_keyOf ? m_keyOf(index) : std::string();
  if (key.empty()) return true;
  const auto holder = m_keyHolders.emplace(key, index).first;
  if (holder->second == index) return true;
  m_parked[key].insert(index);
  return false;
}
