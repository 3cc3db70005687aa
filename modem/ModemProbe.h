#pragma once
// What a captured modem tells of itself when asked, read-only: maker and
// model (V.250 +CGMI, +CGMM), SIM state (3GPP TS 27.007 8.3 +CPIN?), network
// registration (7.2 +CREG?), signal (8.5 +CSQ), operator (7.3 +COPS?) and the
// service centre (TS 27.005 3.3.1 +CSCA?), and whether it is ready to send.
// Nothing is set on the modem: no PIN, no mode, no echo.
//
// ReadAnswer and JudgeProbe are pure (no ports, logs or clocks); AskModem
// talks to the modem on the calling thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CModem;

namespace probe {

enum class Query { Maker, Model, Sim, Registration, Signal, Operator, ServiceCentre };
constexpr size_t kQueryCount = 7;

enum class AnswerKind {
  Given,        // the information came, then OK
  Unsupported,  // ERROR, +CME ERROR: 4 (operation not supported), or OK alone
  Refused,      // another +CME ERROR or +CMS ERROR: the modem says why
  Silent,       // no final result within the limit
};

struct Answer {
  AnswerKind kind = AnswerKind::Silent;
  // Given: the information after the query's own prefix ("READY" of
  // "+CPIN: READY"), or the whole line of an answer without one (the maker);
  // Refused: the cause as reply::RefusalCause names it.
  std::string text;
};

using Answers = std::array<Answer, kQueryCount>;

// What the reply to query says: data is what the modem sent after the
// command (its echo and unsolicited lines may be among it).
Answer ReadAnswer(Query query, const std::string& data);

// One line of the report: what was asked, in words, and the answer shown.
struct Finding {
  const char* what;  // "maker", "SIM", "signal", ...
  std::string shown;
};

struct Report {
  std::array<Finding, kQueryCount> findings;
  bool ready = false;
  // "ready to send", or the first cause that keeps the modem from sending.
  std::string verdict;
};

// The report of a modem that answered AT. Causes, in this order: the SIM is
// not ready, the modem is not registered, there is no signal, no service
// centre number is stored. An answer the modem does not support (or does
// not give) decides nothing: it is shown as such.
Report JudgeProbe(const Answers& answers);

// Asks every query in turn on a captured modem, each waiting for its final
// result up to limitMs.
Answers AskModem(CModem& modem, uint32_t limitMs);

}  // namespace probe
