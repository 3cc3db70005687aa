#pragma once
// The steps of one modem of a delivery, on its own thread: it takes numbers
// from the engine's queue until none is left or a stop comes; per number the
// claim (with the duplicate check on), a capture of the modem, the message,
// the outcome with its claim settled, then a pause or the modem's rest.
#include <cstdint>
#include <string>

#include "engine/Engine.h"
#include "engine/ModemHealth.h"

class CDeliveryWorker {
 public:
  // port: the engine's field that names the modem's COM number, read at
  // every capture.
  CDeliveryWorker(CEngine& engine, const int32_t& port)
      : m_engine(engine), m_queue(engine.m_queue), m_port(port), m_health(engine.m_restSeconds) {}

  void Run();

 private:
  void HandleItem(CNumberTicket& ticket);
  bool ClaimNumber(CNumberTicket& ticket, CNumberClaim& claim);
  // Capture, send, release, on a modem object of its own. false when the
  // modem could not be captured; failure then says why (1251).
  bool SendItem(size_t i, CSendResult& result, std::string& failure);
  // The passing refusals of number i, this attempt's included.
  int CountTries(size_t i, const CSendResult& result);
  void Settle(size_t i, const CAttemptDecision& decision, const std::string& failure,
              CNumberClaim& claim);
  void SetState(size_t i, DeliveryState state, const std::string& cause = std::string());

  // A status line; in a pool it begins with the modem's COM number.
  void Report(const std::string& text);
  // Says once why the modem rests, then counts the rest down a second at a
  // time. Ends early on a stop (its last second included, so that a stop
  // never leads to another capture) and, in a pool, once the others have
  // finished the list.
  void Rest(int seconds, const std::string& why);
  // The random pause between the two limits after a message that went out;
  // none after the last number, no line for a pause of 0.
  void Pause();
  // "Идет отправка сообщений..." again, unless the delivery is ending.
  void ReportSending();

  CEngine& m_engine;
  CNumberQueue& m_queue;
  const int32_t& m_port;
  CModemHealth m_health;
};
