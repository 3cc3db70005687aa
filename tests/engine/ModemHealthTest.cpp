// What a modem does after each attempt, as a sequence of attempts on one
// modem with a rest of 10 s: which numbers fail, which go back, how long the
// modem rests.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ModemHealth.h"

namespace {

using Kind = reply::RefusalKind;

struct Attempt {
  SendOutcome outcome;
  Kind refusal;
  int tries;  // passing refusals of the number so far, this one included
  bool numberBack;
  DeliveryState state;
  int rest;
};

CSendResult ResultOf(const Attempt& attempt) {
  CSendResult result;
  result.outcome = attempt.outcome;
  result.refusal = attempt.refusal;
  return result;
}

TEST(ModemHealth, WhoseFaultDecidesTheNumberAndTheRest) {
  struct Case {
    const char* what;
    std::vector<Attempt> attempts;
  };
  const SendOutcome refused = SendOutcome::Refused;
  const Case cases[] = {
      {"a number refused fails alone, no rest",
       {{refused, Kind::Number, 0, false, SendError, 0}, {SendOutcome::Sent, Kind::Unplaced, 0, false, Sent, 0}}},
      {"a modem at fault fails nothing and rests like a port error",
       {{refused, Kind::Modem, 0, true, PortError, 10}, {refused, Kind::Modem, 0, true, PortError, 10}}},
      {"passing trouble: rests grow 5, 10, 20, 40, bounded at 60; the fifth try fails",
       {{refused, Kind::Transient, 1, true, PortError, 5}, {refused, Kind::Transient, 2, true, PortError, 10},
        {refused, Kind::Transient, 3, true, PortError, 20}, {refused, Kind::Transient, 4, true, PortError, 40},
        {refused, Kind::Transient, 5, false, SendError, 0}, {refused, Kind::Transient, 1, true, PortError, 60},
        {refused, Kind::Transient, 2, true, PortError, 60}}},
      {"a message that went out ends the row of passing trouble",
       {{refused, Kind::Transient, 1, true, PortError, 5}, {SendOutcome::Sent, Kind::Unplaced, 0, false, Sent, 0},
        {refused, Kind::Transient, 2, true, PortError, 5}}},
      {"the third refusal in a row that no table places makes the modem rest",
       {{refused, Kind::Unplaced, 0, false, SendError, 0}, {refused, Kind::Unplaced, 0, false, SendError, 0},
        {refused, Kind::Unplaced, 0, true, PortError, 10}, {refused, Kind::Unplaced, 0, false, SendError, 0}}},
      {"nothing handed over goes back; unconfirmed and invalid are finished",
       {{SendOutcome::NotSent, Kind::Unplaced, 0, true, PortError, 10},
        {SendOutcome::Unconfirmed, Kind::Unplaced, 0, false, Unconfirmed, 0},
        {SendOutcome::Invalid, Kind::Unplaced, 0, false, SendError, 0}}},
  };
  for (const Case& c : cases) {
    CModemHealth health(10);
    for (size_t k = 0; k < c.attempts.size(); ++k) {
      const Attempt& a = c.attempts[k];
      const CAttemptDecision decision = health.After(ResultOf(a), a.tries);
      EXPECT_EQ(decision.numberBack, a.numberBack) << c.what << ", attempt " << k + 1;
      EXPECT_EQ(decision.state, a.state) << c.what << ", attempt " << k + 1;
      EXPECT_EQ(decision.restSeconds, a.rest) << c.what << ", attempt " << k + 1;
    }
  }
}

}  // namespace
