#pragma once
// The outcome of a run: the table on stdout, the exit status, and what is
// left to send.
#include <cstdio>
#include <string>
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
// What the operator knows the request as: "Ctrl-C", "hang-up", ... (UTF-8,
// in the run's language).
std::string InterruptName(platform::InterruptKind kind);

// One line per item from index first on: number, tab, state text (or what
// its reports say: ItemStateText), tab, item text (UTF-8); then an empty line
// and "state: count" of those items for every state, in the order of the
// states. withReports: then also the count of each reports' outcome among
// the sent ones ("Доставлен: 3", ...).
void PrintTable(const std::vector<CListItem>& items, size_t first, bool withReports, std::FILE* out);
// With a pool of modems, after the table: a line per modem (ports, as
// PortName names them) with what its numbers ended as: sent, refused, port
// errors, unconfirmed.
void PrintModemCounts(const std::vector<CListItem>& items, const std::vector<int>& ports,
                      const std::vector<std::string>& names, std::FILE* out);

// kAllDelivered when every item from index first on ended Sent or Duplicate,
// kNotDelivered otherwise. Items before first were not part of the run.
int DeliveryStatus(const std::vector<CListItem>& items, size_t first);
// For the states a dry run predicts: kNotDelivered when an item from first
// on would end SendError.
int PredictedStatus(const std::vector<CListItem>& items, size_t first);

// The numbers from first on that the run did not finish: never handled, in
// hand when it ended, or waiting after a port error.
struct CLeftOver {
  size_t m_count = 0;
  size_t m_first = 0;  // the index of the first of them
  // A number after m_first went out: a run from m_first on would send it
  // again unless the duplicate check stops it.
  bool m_sentAfter = false;
};
CLeftOver LeftOver(const std::vector<CListItem>& items, size_t first);

// How to go on (UTF-8, in the run's language): "--from K" when that sends
// each number left once and nothing twice, else where to find them. Empty
// when nothing is left.
std::string Advice(const CLeftOver& left, bool checkDuplicates);

// The numbers left as a list file that --list reads back into the same
// items: "number text", code page 1251, CR LF after each.
std::string LeftList(const std::vector<CListItem>& items, size_t first);

}  // namespace send_report
