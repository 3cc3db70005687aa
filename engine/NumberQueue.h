#pragma once
// Which modem of a delivery sends which number, built for one delivery from
// a range of the list and the key of each number; it knows nothing else of
// the list. Every modem takes its numbers here one at a time, each as a
// ticket, which goes back by itself unless the number is finished.
//
// Order: of the numbers that came back (given back after a failed capture, a
// twin whose number is finished, a number held elsewhere whose time to be
// looked at again has come) the lowest index first, and all of them before
// the next number never taken. With one modem a number given back is the
// next one tried; with a pool the list goes out about in its order.
//
// Twins: numbers with one non-empty key are one number to the duplicate
// check. While one of them is in hand, given back or held elsewhere, the
// others wait; as each is finished the next comes back, in list order.
//
// Held elsewhere (another process has the number in hand): the number waits
// for its time to be looked at again and keeps its key meanwhile. A modem
// that has nothing else to take sleeps until the earliest such time, or
// until something changes.
//
// The position counts the numbers finished from the first on (never past
// the end): with one modem that is the index of the number it handles next.
//
// Any thread may call; the lock is never held while the caller works.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class CNumberQueue;

class CNumberTicket {
 public:
  CNumberTicket() = default;
  ~CNumberTicket() { GiveBack(); }
  CNumberTicket(CNumberTicket&& other) noexcept;
  CNumberTicket& operator=(CNumberTicket&& other) noexcept;
  CNumberTicket(const CNumberTicket&) = delete;
  CNumberTicket& operator=(const CNumberTicket&) = delete;

  // A number is in hand.
  explicit operator bool() const { return m_queue != nullptr; }
  size_t Index() const { return m_index; }

  // The number's outcome (and marker) is written: it is done, its next twin
  // may go, the position advances.
  void Finish();
  // The number goes back (a failed capture), before any number not yet taken.
  void GiveBack();
  // Another process has it in hand: it comes back not before milliseconds
  // from now.
  void Defer(uint32_t milliseconds);

 private:
  friend class CNumberQueue;
  CNumberQueue* m_queue = nullptr;
  size_t m_index = 0;
};

class CNumberQueue {
 public:
  // A number's key; "" for none: such numbers are never twins.
  using KeyFunction = std::function<std::string(size_t index)>;

  // position: where the numbers finished are counted (the engine's).
  explicit CNumberQueue(std::atomic<int32_t>& position) : m_position(position) {}
  CNumberQueue(const CNumberQueue&) = delete;
  CNumberQueue& operator=(const CNumberQueue&) = delete;

  // A new delivery over the indexes [first, end): nothing in hand, nothing
  // back. keyOf is called under the queue's lock, so it must not call in.
  void Begin(size_t first, size_t end, KeyFunction keyOf);
  // The next number for a modem. Waits while every number left is in hand,
  // waits for a twin or is held elsewhere. false once every number is
  // finished, or a stop came; ticket then holds nothing.
  bool Take(CNumberTicket& ticket);
  // Nothing more is taken, and every modem waiting in Take ends. The
  // position is the caller's to set.
  void Stop();
  // Every number finished, or a stop.
  bool Finished() const;
  // Something is left to take now or later: a number never taken, one that
  // came back, a twin or a number held elsewhere waiting. False after a stop.
  bool AnyLeft() const;
  // Modems waiting in Take now.
  size_t Waiting() const;

 private:
  friend class CNumberTicket;
  using Clock = std::chrono::steady_clock;

  void Finish(size_t index);
  void GiveBack(size_t index);
  void Defer(size_t index, uint32_t milliseconds);

  bool FinishedLocked() const;
  bool TakeReady(size_t& index);
  // Puts the number in hand; false, and parks it behind its twin, when the
  // twin has the key.
  bool Hold(size_t index);
  void ReturnDue();

  std::atomic<int32_t>& m_position;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  KeyFunction m_keyOf;
  size_t m_next = 0;  // never taken from here on
  size_t m_end = 0;
  bool m_stopped = false;
  size_t m_waiting = 0;
  std::set<size_t> m_ready;                           // came back: taken before m_next
  std::vector<std::pair<Clock::time_point, size_t>> m_deferred;
  std::map<std::string, size_t> m_keyHolders;         // key: the index that has it
  std::map<std::string, std::set<size_t>> m_parked;  // twins waiting, by key
};
