#include "tools/varnek-send/SendReport.h"

#include "platform/CodePage.h"
#include "tools/varnek-send/SendMessages.h"

namespace send_report {
namespace {

constexpr DeliveryState kStates[] = {Accepted,  Sending,   Sent,        SendError,
                                     PortError, Duplicate, Unconfirmed, StopListed};
// What the final table counts per modem of a pool.
constexpr DeliveryState kModemStates[] = {Sent, SendError, PortError, Unconfirmed};
// What the reports of the sent numbers say, counted after the states.
constexpr ReportOutcome kReportOutcomes[] = {ReportOutcome::Delivered, ReportOutcome::NotDelivered,
                                             ReportOutcome::Pending};
// The states of a number the run did not finish.
constexpr DeliveryState kUnfinished[] = {Accepted, Sending, PortError};

std::string Utf8(const std::string& text) { return platform::Cp1251ToUtf8(text); }

struct InterruptOutcome {
  platform::InterruptKind kind;
  int status;
  Msg name;
};

constexpr InterruptOutcome kInterruptOutcomes[] = {
    {platform::InterruptKind::Interrupt, 130, Msg::InterruptCtrlC},
    {platform::InterruptKind::Hangup, 129, Msg::InterruptHangup},
    {platform::InterruptKind::Terminate, 143, Msg::InterruptTerminate},
};

const InterruptOutcome& OutcomeOf(platform::InterruptKind kind) {
  for (const InterruptOutcome& outcome : kInterruptOutcomes) {
    if (outcome.kind == kind) return outcome;
  }
  return kInterruptOutcomes[0];
}

bool IsUnfinished(DeliveryState state) {
  for (DeliveryState unfinished : kUnfinished) {
    if (state == unfinished) return true;
  }
  return false;
}

void PrintReportCounts(const std::vector<CListItem>& items, size_t first, std::FILE* out) {
  for (ReportOutcome outcome : kReportOutcomes) {
    int count = 0;
    for (size_t i = first; i < items.size(); ++i) count += ItemReportOutcome(items[i]) == outcome;
    std::fprintf(out, "%s: %d\n", Utf8(ReportOutcomeText(outcome)).c_str(), count);
  }
}

}  // namespace

void PrintTable(const std::vector<CListItem>& items, size_t first, bool withReports, std::FILE* out) {
  for (size_t i = first; i < items.size(); ++i) {
    const CListItem& item = items[i];
    std::fprintf(out, "%s\t%s\t%s\n", Utf8(item.m_number).c_str(),
                 Utf8(ItemStateText(item)).c_str(), Utf8(item.m_text).c_str());
  }
  std::fprintf(out, "\n");
  for (DeliveryState state : kStates) {
    int count = 0;
    for (size_t i = first; i < items.size(); ++i) count += items[i].m_state == state;
    std::fprintf(out, "%s: %d\n", Utf8(DeliveryStateText(state)).c_str(), count);
  }
  if (withReports) PrintReportCounts(items, first, out);
  std::fflush(out);
}

void PrintModemCounts(const std::vector<CListItem>& items, const std::vector<int>& ports,
                      const std::vector<std::string>& names, std::FILE* out) {
  std::fprintf(out, "\n");
  for (size_t k = 0; k < ports.size(); ++k) {
    std::string line = names[k];
    for (DeliveryState state : kModemStates) {
      int count = 0;
      for (const CListItem& item : items) count += item.m_modem == ports[k] && item.m_state == state;
      line += "\t" + Utf8(DeliveryStateText(state)) + ": " + std::to_string(count);
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
  std::fflush(out);
}

int DeliveryStatus(const std::vector<CListItem>& items, size_t first) {
  for (size_t i = first; i < items.size(); ++i) {
    if (items[i].m_state != Sent && items[i].m_state != Duplicate) return kNotDelivered;
  }
  return kAllDelivered;
}

int PredictedStatus(const std::vector<CListItem>& items, size_t first) {
  for (size_t i = first; i < items.size(); ++i) {
    if (items[i].m_state == SendError) return kNotDelivered;
  }
  return kAllDelivered;
}

int InterruptedStatus(platform::InterruptKind first) { return OutcomeOf(first).status; }

std::string InterruptName(platform::InterruptKind kind) { return Say(OutcomeOf(kind).name); }

CLeftOver LeftOver(const std::vector<CListItem>& items, size_t first) {
  CLeftOver left;
  for (size_t i = first; i < items.size(); ++i) {
    const DeliveryState state = items[i].m_state;
    if (IsUnfinished(state)) {
      if (left.m_count++ == 0) left.m_first = i;
    } else if (left.m_count > 0 && (state == Sent || state == Unconfirmed)) {
      left.m_sentAfter = true;
    }
  }
  return left;
}

std::string Advice(const CLeftOver& left, bool checkDuplicates) {
  if (left.m_count == 0) return std::string();
  const std::string from = std::to_string(left.m_first + 1);
  // Without markers nothing stops a second message to what went out after.
  if (left.m_sentAfter && !checkDuplicates) return SayCount(Msg::AdviceScattered, left.m_count, {from});
  return SayCount(Msg::AdviceFrom, left.m_count, {from});
}

std::string LeftList(const std::vector<CListItem>& items, size_t first) {
  std::string list;
  for (size_t i = first; i < items.size(); ++i) {
    if (!IsUnfinished(items[i].m_state)) continue;
    list += items[i].m_number;
    // A blank between, for the eye; the loader drops it.
    if (!items[i].m_text.empty()) list += " " + items[i].m_text;
    list += "\r\n";
  }
  return list;
}

}  // namespace send_report
