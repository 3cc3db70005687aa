#pragma once
// Joins the parts of long incoming messages (concatenated SMS, TS 23.040
// 9.2.3.24.1): parts are kept by sender, concatenation reference (8-bit and
// 16-bit apart) and part count until all have come, in any order. Pure: no
// ports, logs or clocks; one object is used by one thread at a time.
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "modem/PduDecode.h"

namespace pdu {

// A whole incoming message: a single one, or the parts of a long one joined.
struct JoinedMessage {
  std::string sender;  // the originator's text (Address::text)
  TimeStamp sent;      // TP-SCTS of the lowest part number received
  std::u16string text;
  std::string text1251;  // one '?' per character 1251 lacks
  int parts = 1;
  std::vector<int> missing;  // part numbers that never came (TakeIncomplete only)
};

// A long message still waiting for parts.
struct IncompleteMessage {
  std::string sender;
  int reference = 0;
  int parts = 0;
  std::vector<int> received;  // part numbers, ascending
};

class CPartAssembler {
 public:
  // Takes one decoded message. True when it makes a message whole, which is
  // then given in whole: at once for a message that is no part, with the
  // last missing part for a long one. A part already received is ignored (the
  // first copy stays); false then and while parts are missing.
  bool Add(const DeliverMessage& message, JoinedMessage& whole);

  // The long messages still waiting for parts, by sender and reference.
  std::vector<IncompleteMessage> Pending() const;
  // The long messages still waiting, each with the text of the parts that
  // came (in order, missing parts left out and named in missing); then
  // forgets them. For the caller that stops waiting (at the end of a run).
  std::vector<JoinedMessage> TakeIncomplete();

 private:
  using Key = std::tuple<std::string, bool, int, int>;  // sender, wide, reference, parts
  struct Part {
    std::u16string text;
    TimeStamp sent;
  };
  using Parts = std::map<int, Part>;  // by part number

  static JoinedMessage Join(const Key& key, const Parts& parts);

  std::map<Key, Parts> m_waiting;
};

}  // namespace pdu
