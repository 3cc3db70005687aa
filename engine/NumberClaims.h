#pragma once
// Which modem of a delivery sends which number. Every modem takes its numbers
// here, one at a time: a number given back after a failed capture, or a twin
// whose marker has just been written, before the next one never taken. A
// number is in one modem's hand at a time, so no number goes out twice. With
// the duplicate check on, the same holds for a marker: a twin of a number in
// hand (the same digits further down the list) waits until that number is
// finished and its marker written, and then finds the marker.
//
// The engine's m_position counts the numbers finished from the start
// position on. It reaches the list size when every number is finished, or
// when a stop stores the size there; either way nothing more is taken. With
// one modem this is exactly the index of the number it handles next.
//
// All operations are for the delivery's threads; Stop also for the thread
// that stops a delivery. The lock is never held while a modem works or the
// window is told anything, so the window's thread may take it at any time.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>

class CEngine;

class CNumberClaims {
 public:
  explicit CNumberClaims(CEngine& engine) : m_engine(engine) {}
  CNumberClaims(const CNumberClaims&) = delete;
  CNumberClaims& operator=(const CNumberClaims&) = delete;

  // A new delivery from the engine's m_position on: nothing in hand, nothing
  // given back.
  void Begin();
  // The index of the next number for a modem. Waits while every number left
  // is in another modem's hand or waits for its twin. false once every
  // number is finished or a stop came.
  bool Take(size_t& index);
  // The number's outcome and marker are written: its twins may go.
  void Release(size_t index);
  // The capture failed: the number goes back, to be taken before any other.
  void GiveBack(size_t index);
  // One number more is finished. Never passes the list size, so that a stop
  // that stored the size meanwhile is not lost.
  void Advance();
  // Nothing more is taken: m_position becomes the list size, and the modems
  // waiting in Take end.
  void Stop();
  // Every number finished, or a stop.
  bool Finished() const;

 private:
  // Puts the number in hand; false, and parks it, when its marker is in
  // another hand.
  bool Hold(size_t index);
  void ReleaseHeld(size_t index);
  bool TakeReady(size_t& index);
  bool TakeNext(size_t& index);

  CEngine& m_engine;
  std::mutex m_lock;
  std::condition_variable m_changed;
  size_t m_next = 0;                                    // never taken from here on
  std::deque<size_t> m_ready;                           // taken before m_next
  std::map<size_t, std::string> m_held;                 // in hand: index, marker
  std::map<std::string, std::deque<size_t>> m_parked;   // twins by marker, in order
};
