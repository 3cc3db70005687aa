#pragma once
// One entry of the phone list and its delivery state.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/SendRecord.h"

enum DeliveryState : int32_t {
  Accepted = 0,
  Sending = 1,
  Sent = 2,
  SendError = 3,
  PortError = 4,
  Duplicate = 5,
  // The message may have gone out: the modem took it and never answered, or
  // a run died holding the number. Never sent again unless the operator says.
  Unconfirmed = 6,
  // The number asked not to be written to: never sent.
  StopListed = 7,
};

constexpr int kDeliveryStateCount = 8;

// The display text of a state (code page 1251), as the list shows it.
const char* DeliveryStateText(DeliveryState state);

struct CListItem {
  std::string m_number;  // as loaded, typed or generated
  DeliveryState m_state = Accepted;
  std::string m_text;  // free text of the third column, not sent
  // Why the number ended as it did, when there is more to say than the state
  // (1251): the modem's refusal ("+CMS ERROR: 311 (SIM PIN required)"), why
  // nothing could be sent; empty otherwise.
  std::string m_cause = std::string();
  // The COM number of the modem that last handled the number; 0: none yet.
  int32_t m_modem = 0;
  // What is known of the message after it went out; null until it did.
  // Replaced whole, never changed in place: a copy of the item (a snapshot
  // for the window) may share it.
  std::shared_ptr<const CSendRecord> m_record = nullptr;
};

// What the reports of a number that stands as sent say; None for any other
// number, and before the first report.
ReportOutcome ItemReportOutcome(const CListItem& item);

// The state as the list shows it: a message that went out shows what its
// reports say once they say something ("Доставлен", "Не доставлен").
const char* ItemStateText(const CListItem& item);
