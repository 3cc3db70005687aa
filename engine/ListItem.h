#pragma once
// One entry of the phone list and its delivery state.
#include <cstdint>
#include <string>

enum DeliveryState : int32_t {
  Accepted = 0,
  Sending = 1,
  Sent = 2,
  SendError = 3,
  PortError = 4,
  Duplicate = 5,
};

// The display text of a state (code page 1251), as the list shows it.
const char* DeliveryStateText(DeliveryState state);

struct CListItem {
  std::string m_number;  // as loaded, typed or generated; sent unchanged
  DeliveryState m_state = Accepted;
  std::string m_text;  // free text of the third column, not sent
  // Why the modem refused the message, as SendSMS names it ("+CMS ERROR:
  // 311 (SIM PIN required)"), while the state is SendError; empty otherwise.
  // Not shown by the list; varnek-send prints it.
  std::string m_refusal = std::string();
};
