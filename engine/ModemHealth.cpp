#include "engine/ModemHealth.h"

#include <algorithm>

namespace {

constexpr int kLongestRestFactor = 6;

}  // namespace

CAttemptDecision CModemHealth::AfterPortFailure() {
  m_transientInRow = 0;
  m_unplacedInRow = 0;
  return {true, PortError, m_restSeconds, false};
}

CAttemptDecision CModemHealth::After(const CSendResult& result, int tries) {
  switch (result.outcome) {
    case SendOutcome::Sent:
      m_transientInRow = 0;
      m_unplacedInRow = 0;
      return {false, Sent, 0, true};
    case SendOutcome::Unconfirmed:
      return {false, Unconfirmed, 0, true};
    case SendOutcome::Invalid:
      return {false, SendError, 0, false};
    case SendOutcome::NotSent:
      return AfterPortFailure();
    case SendOutcome::Refused:
      break;
  }
  return AfterRefusal(result, tries);
}

CAttemptDecision CModemHealth::AfterRefusal(const CSendResult& result, int tries) {
  switch (result.refusal) {
    case reply::RefusalKind::Number:
      m_unplacedInRow = 0;
      return {false, SendError, 0, false};
    case reply::RefusalKind::Modem:
      return AfterPortFailure();
    case reply::RefusalKind::Transient:
      ++m_transientInRow;
      if (tries >= kTransientTries) return {false, SendError, 0, false};
      return {true, PortError, TransientRest(), false};
    case reply::RefusalKind::Unplaced:
      break;
  }
  if (++m_unplacedInRow < kUnplacedInARow) return {false, SendError, 0, false};
  m_unplacedInRow = 0;
  return {true, PortError, m_restSeconds, false};
}

int CModemHealth::TransientRest() const {
  long long rest = std::max(1, m_restSeconds / 2);
  for (int k = 1; k < m_transientInRow && rest < m_restSeconds * kLongestRestFactor; ++k) rest *= 2;
  return static_cast<int>(std::min<long long>(rest, m_restSeconds * kLongestRestFactor));
}
