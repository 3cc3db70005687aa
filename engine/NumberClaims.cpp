#include "engine/NumberClaims.h"

#include <cstdint>

#include "engine/Engine.h"

void CNumberClaims::Begin() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_next = static_cast<uint32_t>(m_engine.m_position.load());
  m_ready.clear();
  m_held.clear();
  m_parked.clear();
}

bool CNumberClaims::Take(size_t& index) {
  std::unique_lock<std::mutex> lock(m_lock);
  for (;;) {
    if (Finished()) return false;
    if (TakeReady(index) || TakeNext(index)) return true;
    // What is left is in other hands: it is finished, or given back.
    m_changed.wait(lock);
  }
}

void CNumberClaims::Release(size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  ReleaseHeld(index);
  m_changed.notify_all();
}

void CNumberClaims::GiveBack(size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  ReleaseHeld(index);
  m_ready.push_front(index);
  m_changed.notify_all();
}

void CNumberClaims::ReleaseHeld(size_t index) {
  auto held = m_held.find(index);
  if (held == m_held.end()) return;
  auto parked = m_parked.find(held->second);
  if (parked != m_parked.end()) {
    m_ready.push_back(parked->second.front());
    parked->second.pop_front();
    if (parked->second.empty()) m_parked.erase(parked);
  }
  m_held.erase(held);
}

void CNumberClaims::Advance() {
  std::lock_guard<std::mutex> guard(m_lock);
  const size_t size = m_engine.m_items.size();
  int32_t position = m_engine.m_position.load();
  while (static_cast<uint32_t>(position) < size &&
         !m_engine.m_position.compare_exchange_weak(position, position + 1)) {
  }
  m_changed.notify_all();
}

void CNumberClaims::Stop() {
  m_engine.m_position = static_cast<int32_t>(m_engine.m_items.size());
  // Under the lock: a modem that found work left just before the store is
  // waiting by now, and hears this.
  std::lock_guard<std::mutex> guard(m_lock);
  m_changed.notify_all();
}

bool CNumberClaims::Finished() const {
  // Compared as unsigned: a negative position is past any list.
  return static_cast<uint32_t>(m_engine.m_position.load()) >= m_engine.m_items.size();
}

bool CNumberClaims::Hold(size_t index) {
  std::string marker;
  // Without the check a number has no marker to guard: twins go out each.
  if (m_engine.m_checkDuplicates != 0) {
    marker = CEngine::MarkerPathOf(m_engine.m_items[index].m_number.c_str());
  }
  if (!marker.empty()) {
    for (const auto& held : m_held) {
      if (held.second == marker) {
        m_parked[marker].push_back(index);
        return false;
      }
    }
  }
  m_held[index] = marker;
  return true;
}

bool CNumberClaims::TakeReady(size_t& index) {
  while (!m_ready.empty()) {
    // Parked again when its twin was taken from m_next while it was away.
    const size_t next = m_ready.front();
    m_ready.pop_front();
    if (Hold(next)) {
      index = next;
      return true;
    }
  }
  return false;
}

bool CNumberClaims::TakeNext(size_t& index) {
  const size_t size = m_engine.m_items.size();
  while (m_next < size) {
    const size_t next = m_next++;
    if (Hold(next)) {
      index = next;
      return true;
    }
  }
  return false;
}
