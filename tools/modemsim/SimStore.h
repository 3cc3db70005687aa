#pragma once
// One message memory of the simulated modem ("SM", or "SR" for reports kept
// apart): numbered places from 1 holding received messages and status
// reports as PDU hex text, with the AT+CMGL, AT+CMGR and AT+CMGD answers in
// PDU mode. Every place stored, read and deleted is written to the record.
#include <string>
#include <vector>

#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

enum class StoredKind { Message, Report };

class CSimStore {
 public:
  CSimStore(std::string name, int size, CSubmissionRecord& record);

  const std::string& Name() const { return m_name; }
  int Used() const;
  int Size() const { return static_cast<int>(m_places.size()); }
  bool Full() const { return Used() == Size(); }

  // The place a PDU was stored at, received unread; 0 when the memory is full.
  int Store(StoredKind kind, const std::string& pdu);
  // The "+CMGL: <index>,<stat>,,<length>" CR LF <pdu> lines of the places with
  // stat (4: all), each after CR LF; unread ones become read.
  std::string List(int stat);
  // The "+CMGR: <stat>,,<length>" CR LF <pdu> lines of a place (empty for an
  // empty place); the place becomes read. False for an index out of range.
  bool Read(int index, std::string& lines);
  // Deletes a place (flag 0) or, whatever index says, the read ones (1), the
  // read and sent (2), those and the unsent (3), all (4); false for an index
  // out of range with flag 0 or a flag beyond 4.
  bool Delete(int index, int flag);

 private:
  struct Place {
    bool used = false;
    int stat = 0;  // 0 received unread, 1 received read (2, 3: sent, never stored here)
    StoredKind kind = StoredKind::Message;
    std::string pdu;
  };

  // The information line and PDU of a used place, which becomes read.
  std::string Lines(const char* prefix, int index, bool listed);
  void Erase(int index);

  std::string m_name;
  std::vector<Place> m_places;
  CSubmissionRecord& m_record;
};

}  // namespace modemsim
