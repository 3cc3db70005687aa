#pragma once
// The outcome of a run: the table on stdout and the exit status.
#include <cstdio>
#include <vector>

#include "engine/ListItem.h"
#include "platform/Interrupt.h"

namespace send_report {

// The exit statuses of varnek-send (also of --dry-run, --probe and
// --list-ports: 0 all is well, 1 not).
constexpr int kAllDelivered = 0;
constexpr int kNotDelivered = 1;
constexpr int kBadUsage = 2;

// After a request to stop: 128 + the number of the signal, as a shell
// reports a process that the signal ended. Ctrl-C (SIGINT) 130, a hang-up
// (SIGHUP; the Windows console closed) 129, a termination request (SIGTERM;
// Windows logoff or shutdown) 143.
int InterruptedStatus(platform::InterruptKind first);
// What the operator knows the request as: "Ctrl-C", "hang-up", ...
const char* InterruptName(platform::InterruptKind kind);

// One line per item: number, tab, state text, tab, item text (UTF-8); then an
// empty line and "state: count" for every state, in the order of the states.
void PrintTable(const std::vector<CListItem>& items, std::FILE* out);

// kAllDelivered when every item from index first on ended Sent or Duplicate,
// kNotDelivered otherwise. Items before first were not part of the run.
int DeliveryStatus(const std::vector<CListItem>& items, size_t first);
// For the states a dry run predicts: kNotDelivered when an item from first
// on would end SendError.
int PredictedStatus(const std::vector<CListItem>& items, size_t first);

}  // namespace send_report
