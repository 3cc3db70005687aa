#pragma once
// What becomes of a number after an attempt on one modem, and how long that
// modem rests before its next number. Whose fault a failure is decides: a
// refusal of the number fails it alone; a modem that cannot send (no port,
// a locked or missing SIM, no network) fails no number: the number goes back
// for another modem or a later try, and this modem rests; passing trouble
// (a busy SIM, congestion) is tried again after rests that grow. Pure: no
// ports, logs or clocks; one object per modem of a delivery.
#include "engine/ListItem.h"
#include "modem/SendResult.h"

struct CAttemptDecision {
  bool numberBack = false;  // the number goes back to the list; else it is finished
  DeliveryState state = Sent;
  int restSeconds = 0;      // before this modem takes its next number; 0: none
  bool pause = false;       // the random pause after a message that (may have) gone out
};

class CModemHealth {
 public:
  // A number refused for passing trouble this often is failed with its cause.
  static constexpr int kTransientTries = 5;
  // This many refusals in a row for causes no table places make the modem
  // rest: a modem refusing everything must not fail the whole list.
  static constexpr int kUnplacedInARow = 3;

  // restSeconds: the rest after a modem failure (the port-error countdown).
  explicit CModemHealth(int restSeconds) : m_restSeconds(restSeconds) {}

  // The modem could not be captured, or took nothing (no prompt, a failed
  // write, the device gone before the message was handed over).
  CAttemptDecision AfterPortFailure();
  // tries: the transient refusals of this number so far, this one included.
  CAttemptDecision After(const CSendResult& result, int tries);

 private:
  CAttemptDecision AfterRefusal(const CSendResult& result, int tries);
  // The rest after the n-th passing refusal in a row: half the port-error
  // rest, doubled each time, at most six times that rest (5, 10, 20, 40,
  // 60 s for a rest of 10 s).
  int TransientRest() const;

  int m_restSeconds;
  int m_transientInRow = 0;
  int m_unplacedInRow = 0;
};
