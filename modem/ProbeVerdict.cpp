// The probe's answers in words, and the verdict on them.
#include <optional>
#include <vector>

#include "modem/ModemProbe.h"

namespace probe {
namespace {

constexpr char kReady[] = "ready to send";
// A modem that answers AT but none of the queries that matter.
constexpr char kReadyUntold[] =
    "ready to send, as far as it tells: it answers AT, but not on SIM, "
    "network or signal";

// +CPIN states (TS 27.007 8.3).
struct SimState {
  const char* code;
  const char* shown;
  const char* cause;  // null: ready
};

constexpr SimState kSimStates[] = {
    {"READY", "ready", nullptr},
    {"SIM PIN", "waits for its PIN", "the SIM waits for its PIN"},
    {"SIM PUK", "blocked, waits for its PUK", "the SIM is blocked and waits for its PUK"},
    {"PH-SIM PIN", "waits for the phone-to-SIM password",
     "the modem waits for its phone-to-SIM password"},
};

// +CREG <stat> (TS 27.007 7.2); 6 to 10 come from modems on LTE.
struct Registration {
  int stat;
  const char* shown;
  const char* cause;  // null: registered, messages can go out
};

constexpr Registration kRegistrations[] = {
    {0, "not registered, not searching", "not registered with a network (not searching)"},
    {1, "registered, home network", nullptr},
    {2, "not registered, searching", "not registered with a network (searching)"},
    {3, "registration denied", "the network denied the registration"},
    {4, "unknown", "the registration is unknown"},
    {5, "registered, roaming", nullptr},
    {6, "registered for SMS only, home network", nullptr},
    {7, "registered for SMS only, roaming", nullptr},
    {8, "emergency services only", "registered for emergency services only"},
    {9, "registered, home network", nullptr},
    {10, "registered, roaming", nullptr},
};

// +CSQ <rssi> (TS 27.007 8.5): 0 is -113 dBm or less, 31 is -51 dBm or
// more, 2 dBm a step between; 99 is not known or not detectable. The bars
// follow the usual reading: below -109 dBm none, -93 dBm and up all four.
constexpr int kTopRssi = 31;
constexpr int kUnknownRssi = 99;
constexpr int kFloorDbm = -113;
constexpr int kBarCount = 4;
struct Bars {
  int firstRssi;
  int bars;
};
constexpr Bars kBars[] = {{20, 4}, {15, 3}, {10, 2}, {2, 1}, {0, 0}};

// The comma-separated fields of an information text, blanks and double
// quotes around each removed (a quoted field may hold a comma).
std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != ' ' || quoted) {
      fields.back() += c;
    }
  }
  return fields;
}

// A field of digits only; none for anything else.
std::optional<int> Number(const std::string& field) {
  if (field.empty() || field.size() > 4) return std::nullopt;
  int value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// How an answer that carries no information is shown.
std::string NotGiven(const Answer& answer) {
  switch (answer.kind) {
    case AnswerKind::Unsupported: return "not supported";
    case AnswerKind::Refused: return "refused: " + answer.text;
    case AnswerKind::Silent: return "no answer";
    case AnswerKind::Given: break;
  }
  return answer.text;
}

std::string Unreadable(const char* prefix, const std::string& text) {
  return std::string("unreadable answer \"") + prefix + text + "\"";
}

// The judgement of one query: what the report shows and, when it keeps the
// modem from sending, why.
struct Judged {
  std::string shown;
  std::string cause;
};

Judged JudgeSim(const Answer& answer) {
  if (answer.kind == AnswerKind::Refused) {
    return {answer.text, "the SIM is not usable: " + answer.text};
  }
  if (answer.kind != AnswerKind::Given) return {NotGiven(answer), ""};
  for (const SimState& state : kSimStates) {
    if (answer.text == state.code) return {state.shown, state.cause ? state.cause : ""};
  }
  return {"not ready (" + answer.text + ")", "the SIM is not ready (+CPIN: " + answer.text + ")"};
}

// The <stat> of "+CREG: <n>,<stat>[,...]"; a modem that reports
// registrations unasked may answer with the stat alone.
const Registration* FindRegistration(const Answer& answer) {
  const std::vector<std::string> fields = Fields(answer.text);
  const std::optional<int> stat = Number(fields.size() >= 2 ? fields[1] : fields[0]);
  for (const Registration& entry : kRegistrations) {
    if (stat && *stat == entry.stat) return &entry;
  }
  return nullptr;
}

Judged JudgeRegistration(const Answer& answer, const Registration* registration) {
  if (answer.kind != AnswerKind::Given) return {NotGiven(answer), ""};
  if (registration == nullptr) return {Unreadable("+CREG: ", answer.text), ""};
  return {registration->shown, registration->cause ? registration->cause : ""};
}

// No signal: a level at the floor, or none detectable when the registration
// does not say otherwise (LTE modems may give 99 while registered).
Judged JudgeSignal(const Answer& answer, bool registered) {
  if (answer.kind != AnswerKind::Given) return {NotGiven(answer), ""};
  const std::optional<int> rssi = Number(Fields(answer.text)[0]);
  if (!rssi || (*rssi > kTopRssi && *rssi != kUnknownRssi)) {
    return {Unreadable("+CSQ: ", answer.text), ""};
  }
  if (*rssi == kUnknownRssi) {
    return {"not known or not detectable", registered ? "" : "no signal"};
  }
  int bars = 0;
  for (const Bars& entry : kBars) {
    if (*rssi >= entry.firstRssi) {
      bars = entry.bars;
      break;
    }
  }
  const int dbm = kFloorDbm + 2 * *rssi;
  std::string shown = std::to_string(dbm) + " dBm";
  if (*rssi == 0) shown += " or less";
  if (*rssi == kTopRssi) shown += " or more";
  shown += ", " + std::to_string(bars) + " of " + std::to_string(kBarCount) + " bars";
  return {shown, *rssi == 0 ? "no signal" : ""};
}

// "+COPS: <mode>[,<format>,<oper>[,<AcT>]]": without <oper> none is chosen.
Judged JudgeOperator(const Answer& answer) {
  if (answer.kind != AnswerKind::Given) return {NotGiven(answer), ""};
  const std::vector<std::string> fields = Fields(answer.text);
  return {fields.size() >= 3 && !fields[2].empty() ? fields[2] : "none", ""};
}

// "+CSCA: <sca>,<tosca>". Messages go out without a service centre of
// their own, so the one stored on the SIM must be there.
Judged JudgeServiceCentre(const Answer& answer) {
  if (answer.kind != AnswerKind::Given) return {NotGiven(answer), ""};
  const std::string number = Fields(answer.text)[0];
  if (number.empty()) return {"none stored", "no service centre number is stored"};
  return {number, ""};
}

}  // namespace

Report JudgeProbe(const Answers& answers) {
  auto at = [&](Query query) -> const Answer& { return answers[static_cast<size_t>(query)]; };
  const Answer& registration = at(Query::Registration);
  const Registration* stat =
      registration.kind == AnswerKind::Given ? FindRegistration(registration) : nullptr;
  const bool registered = stat != nullptr && stat->cause == nullptr;
  const Judged judged[] = {
      {NotGiven(at(Query::Maker)), ""},
      {NotGiven(at(Query::Model)), ""},
      JudgeSim(at(Query::Sim)),
      JudgeRegistration(registration, stat),
      JudgeSignal(at(Query::Signal), registered),
      JudgeOperator(at(Query::Operator)),
      JudgeServiceCentre(at(Query::ServiceCentre)),
  };
  static constexpr const char* kWhat[] = {"maker",  "model",    "SIM",           "network",
                                          "signal", "operator", "service centre"};
  Report report;
  for (size_t i = 0; i < kQueryCount; ++i) {
    report.findings[i] = {kWhat[i], judged[i].shown};
    if (report.verdict.empty() && !judged[i].cause.empty()) report.verdict = judged[i].cause;
  }
  report.ready = report.verdict.empty();
  const bool told = at(Query::Sim).kind == AnswerKind::Given ||
                    registration.kind == AnswerKind::Given ||
                    at(Query::Signal).kind == AnswerKind::Given;
  if (report.ready) report.verdict = told ? kReady : kReadyUntold;
  return report;
}

}  // namespace probe
