#include "engine/SendRecord.h"

#include <cstdio>

#include "modem/Pdu.h"
#include "modem/PduDecode.h"

namespace {

constexpr int kNoReport = -1;

std::string StatusCause(int status) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", status & 0xFF);
  return std::string(pdu::StatusWords(status)) + " (" + code + ")";
}

}  // namespace

CSendRecord CSendRecord::Confirmed(const std::vector<int>& references, const std::string& sentAt) {
  CSendRecord record;
  record.references = references;
  record.reports.assign(references.size(), kNoReport);
  record.sentAt = sentAt;
  return record;
}

bool CSendRecord::TakeReport(int reference, int status, const std::string& dischargeTime) {
  for (size_t part = 0; part < references.size() && part < reports.size(); ++part) {
    // A reported 0 is kept as 256; the report carries the octet itself.
    if (references[part] % (pdu::kReportedZero) != reference || reports[part] != kNoReport) continue;
    reports[part] = status;
    const ReportOutcome outcome = Outcome();
    if (outcome == ReportOutcome::Delivered) {
      deliveredAt = dischargeTime;
      cause.clear();
    } else if (pdu::ClassOfStatus(status) != pdu::StatusClass::Delivered &&
               outcome != ReportOutcome::None) {
      cause = StatusCause(status);
    }
    return true;
  }
  return false;
}

ReportOutcome CSendRecord::Outcome() const {
  bool all = !reports.empty();
  bool pending = false;
  for (int status : reports) {
    if (status == kNoReport) {
      all = false;
      continue;
    }
    switch (pdu::ClassOfStatus(status)) {
      case pdu::StatusClass::Failed: return ReportOutcome::NotDelivered;
      case pdu::StatusClass::Delivered: break;
      default: pending = true;
    }
  }
  if (pending) return ReportOutcome::Pending;
  return all ? ReportOutcome::Delivered : ReportOutcome::None;
}

const char* ReportOutcomeText(ReportOutcome outcome) {
  switch (outcome) {
    case ReportOutcome::Delivered: return "Доставлен";
    case ReportOutcome::NotDelivered: return "Не доставлен";
    case ReportOutcome::Pending: return "Ожидает доставки";
    case ReportOutcome::None: break;
  }
  return nullptr;
}
