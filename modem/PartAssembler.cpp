#include "modem/PartAssembler.h"

#include "modem/PduFields.h"

namespace pdu {

bool CPartAssembler::Add(const DeliverMessage& message, JoinedMessage& whole) {
  const Concatenation& concatenation = message.concatenation;
  if (concatenation.parts == 0) {
    whole = JoinedMessage();
    whole.sender = message.originator.text;
    whole.sent = message.serviceCentreTime;
    whole.text = message.text;
    whole.text1251 = TextIn1251(message.text);
    return true;
  }
  const Key key{message.originator.text, concatenation.wideReference, concatenation.reference,
                concatenation.parts};
  Parts& parts = m_waiting[key];
  // emplace keeps the first copy of a part sent twice.
  if (!parts.emplace(concatenation.part, Part{message.text, message.serviceCentreTime}).second ||
      static_cast<int>(parts.size()) < concatenation.parts) {
    return false;
  }
  whole = Join(key, parts);
  m_waiting.erase(key);
  return true;
}

std::vector<IncompleteMessage> CPartAssembler::Pending() const {
  std::vector<IncompleteMessage> pending;
  for (const auto& [key, parts] : m_waiting) {
    IncompleteMessage incomplete{std::get<0>(key), std::get<2>(key), std::get<3>(key), {}};
    for (const auto& entry : parts) incomplete.received.push_back(entry.first);
    pending.push_back(incomplete);
  }
  return pending;
}

std::vector<JoinedMessage> CPartAssembler::TakeIncomplete() {
  std::vector<JoinedMessage> taken;
  for (const auto& [key, parts] : m_waiting) taken.push_back(Join(key, parts));
  m_waiting.clear();
  return taken;
}

// The text is joined before it is converted, so that a character split
// between two UCS2 parts (a surrogate pair) stays one character.
JoinedMessage CPartAssembler::Join(const Key& key, const Parts& parts) {
  JoinedMessage joined;
  joined.sender = std::get<0>(key);
  joined.parts = std::get<3>(key);
  joined.sent = parts.begin()->second.sent;
  for (int number = 1; number <= joined.parts; ++number) {
    const auto part = parts.find(number);
    if (part == parts.end()) {
      joined.missing.push_back(number);
    } else {
      joined.text += part->second.text;
    }
  }
  joined.text1251 = TextIn1251(joined.text);
  return joined;
}

}  // namespace pdu
