#include "tools/varnek-send/SendReport.h"

#include "platform/CodePage.h"

namespace send_report {
namespace {

constexpr DeliveryState kStates[] = {Accepted, Sending, Sent, SendError, PortError, Duplicate, Unconfirmed, StopListed};

std::string Utf8(const std::string& text) { return platform::Cp1251ToUtf8(text); }

struct InterruptOutcome {
  platform::InterruptKind kind;
  int status;
  const char* name;
};

constexpr InterruptOutcome kInterruptOutcomes[] = {
    {platform::InterruptKind::Interrupt, 130, "Ctrl-C"},
    {platform::InterruptKind::Hangup, 129, "hang-up"},
    {platform::InterruptKind::Terminate, 143, "termination request"},
};

const InterruptOutcome& OutcomeOf(platform::InterruptKind kind) {
  for (const InterruptOutcome& outcome : kInterruptOutcomes) {
    if (outcome.kind == kind) return outcome;
  }
  return kInterruptOutcomes[0];
}

}  // namespace

void PrintTable(const std::vector<CListItem>& items, std::FILE* out) {
  for (const CListItem& item : items) {
    std::fprintf(out, "%s\t%s\t%s\n", Utf8(item.m_number).c_str(),
                 Utf8(DeliveryStateText(item.m_state)).c_str(), Utf8(item.m_text).c_str());
  }
  std::fprintf(out, "\n");
  for (DeliveryState state : kStates) {
    int count = 0;
    for (const CListItem& item : items) count += item.m_state == state;
    std::fprintf(out, "%s: %d\n", Utf8(DeliveryStateText(state)).c_str(), count);
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

const char* InterruptName(platform::InterruptKind kind) { return OutcomeOf(kind).name; }

}  // namespace send_report
