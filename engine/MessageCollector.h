#pragma once
// What comes back from the modems after the messages went out. Status
// reports are matched to the numbers of the delivery in hand by recipient
// and message reference, else to the results files of earlier runs;
// incoming messages are joined from their parts, written to the replies
// file, and a reply that asks to stop puts its sender on the stop list.
// Nothing is deleted from a modem before it is written down. One object per
// engine; any thread may call (the object's lock makes them one at a time).
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "modem/AnswerReader.h"
#include "modem/Modem.h"
#include "modem/PartAssembler.h"

class CEngine;

class CMessageCollector {
 public:
  explicit CMessageCollector(CEngine& engine) : m_engine(engine) {}
  CMessageCollector(const CMessageCollector&) = delete;
  CMessageCollector& operator=(const CMessageCollector&) = delete;

  // The items [first, end) of a delivery: their reports are looked for there
  // first. The list must not change until the next Begin.
  void Begin(size_t first, size_t end);
  // Writes down what a modem holds; gives the entries written (or of no use
  // to anyone: a report no number sent), which the caller deletes.
  std::vector<CStoredEntry> Record(const std::vector<CStoredEntry>& entries);
  // A report or a message the modem showed at once (+CDS, +CMT).
  void RecordShown(const reply::Unsolicited& line);

  struct Counts {
    int reports = 0;  // matched to a number, of this run or an earlier one
    int replies = 0;
    int stops = 0;    // senders put on the stop list
  };
  Counts Tally() const;

 private:
  using PartKey = std::tuple<std::string, bool, int, int>;  // sender, wide, reference, parts

  bool RecordReport(const std::string& pdu);
  bool MatchInRun(const std::string& recipient, int reference, int status,
                  const std::string& discharge);
  // A message made whole: true when written down (and its parts may go).
  bool RecordReply(const pdu::JoinedMessage& message);
  const std::vector<size_t>& ItemsOf(const std::string& key);

  CEngine& m_engine;
  mutable std::mutex m_lock;
  size_t m_first = 0;
  size_t m_end = 0;
  bool m_indexed = false;
  std::unordered_map<std::string, std::vector<size_t>> m_itemsByKey;  // made at the first report
  pdu::CPartAssembler m_parts;
  Counts m_counts;
};
