#pragma once
// What comes back to the simulated modem after a submission, and where it
// goes: status reports and incoming messages, routed by AT+CNMI straight to
// the line (+CDS, +CMT) or into memory with a notice (+CDSI, +CMTI) or
// without one, and the commands that read and delete the memory (AT+CPMS,
// AT+CMGL, AT+CMGR, AT+CMGD in PDU mode).
//
// A memory that is full holds back what arrives, as a network does while a
// phone reports its memory exceeded; it comes once AT+CMGD frees a place.
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "tools/modemsim/MessagingOptions.h"
#include "tools/modemsim/SimStore.h"
#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

class CSimMessaging {
 public:
  CSimMessaging(const CMessagingOptions& options, CSubmissionRecord& record);
  CSimMessaging(const CSimMessaging&) = delete;
  CSimMessaging& operator=(const CSimMessaging&) = delete;

  // The whole answer to a command, from its first CR LF to the final result
  // code; argument is what follows the command's name ("=2,1,0,2,0", "?",
  // "=?").
  std::string Indications(const std::string& argument);  // AT+CNMI
  std::string Storage(const std::string& argument);      // AT+CPMS
  std::string List(const std::string& argument);         // AT+CMGL
  std::string Read(const std::string& argument);         // AT+CMGR
  std::string Delete(const std::string& argument);       // AT+CMGD

  // The refusal of a submission's PDU text before it goes out, empty when it
  // is taken: "+CMS ERROR: 322" when it asks for a report that is to be
  // stored and the memory for reports is full (some sticks refuse so).
  std::string Refusal(const std::string& pdu) const;
  // A submission the network took under reference: a report comes after the
  // delay of the options when its PDU asked for one.
  void Submitted(int submission, const std::string& pdu, int reference);
  // The unsolicited lines of what has arrived by now; empty when nothing has.
  std::string Due();

 private:
  struct Arrival {
    std::chrono::steady_clock::time_point at;
    StoredKind kind;
    std::string pdu;
  };

  void Schedule(const Arrival& arrival);
  std::string Route(const Arrival& arrival);
  std::string Keep(const Arrival& arrival, CSimStore& memory, bool notice);
  bool StoresReports() const;
  CSimStore& ReportMemory();
  CSimStore* MemoryNamed(const std::string& name);
  std::string Counts(const CSimStore& memory) const;

  const CMessagingOptions& m_options;
  CSubmissionRecord& m_record;
  CSimStore m_messages;
  CSimStore m_reports;  // used only when reports are kept apart
  CSimStore* m_readMemory;  // <mem1> of AT+CPMS: what AT+CMGL, AT+CMGR and AT+CMGD act on
  int m_indications[5] = {0, 0, 0, 0, 0};  // <mode>,<mt>,<bm>,<ds>,<bfr> of AT+CNMI
  std::vector<Arrival> m_arrivals;  // in order of time
  std::vector<Arrival> m_held;      // arrived at a full memory
  std::minstd_rand m_random;        // fixed seed: a run's delays repeat
  int m_concatenation = 0;
};

}  // namespace modemsim
