#pragma once
// What is known of a message after it left: the references the modem gave
// each part, the status reports that came back for them, and when. Pure; a
// record is changed by one thread at a time.
#include <string>
#include <vector>

// What the reports of a message's parts say, taken together.
enum class ReportOutcome {
  None,          // no report yet (or none asked for)
  Pending,       // the network is still trying (or a report no table names)
  Delivered,     // every part reached the phone
  NotDelivered,  // a part will never reach it
};

struct CSendRecord {
  std::vector<int> references;  // per part, as the modem reported them (TP-MR)
  std::vector<int> reports;     // per part: TP-ST of its report, -1 none yet
  std::string sentAt;           // local time of the confirmation: "2026-12-08 17:30:05"
  std::string deliveredAt;      // the last part's discharge time, once Delivered
  std::string cause;            // NotDelivered or Pending: the status in words

  // A record of a message confirmed with these references (0..255, or 256
  // for a reported 0), no report yet.
  static CSendRecord Confirmed(const std::vector<int>& references, const std::string& sentAt);
  // Takes the report of one part: the first part with this reference and
  // no report yet (a reference repeats only once 256 messages went out).
  // False when no part has it.
  bool TakeReport(int reference, int status, const std::string& dischargeTime);
  ReportOutcome Outcome() const;
};

// The words of an outcome for the list and the results file (1251):
// "Доставлен", "Не доставлен", "Ожидает доставки"; null for None.
const char* ReportOutcomeText(ReportOutcome outcome);
