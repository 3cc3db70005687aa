#pragma once
// The record of submissions: one line per AT+CMGS text that ended,
//   <index> TAB <announced length> TAB <pdu text> TAB <answer>
// where answer is "ok REF", "error ERROR", "error +CMS ERROR: X", "error
// +CME ERROR: X", "refused LINE" (at the command, no text), "invalid hex",
// "invalid length", "dropped", "escaped" or "silent". Text left over from
// before the simulator started (--start-in-text) has index 0.
// The message memory adds one line per event of a stored message or report,
//   <event> TAB <memory> TAB <index> TAB <kind> TAB <pdu text>
// with event "stored", "read" (AT+CMGL or AT+CMGR) or "deleted", and "routed"
// (sent straight to the line: +CMT, +CDS), "held" (the memory full: it will
// come once a place is free) or "lost" (no routing for it) with memory "-"
// and index 0; kind is "message" or "report". These lines begin with a word,
// the submissions' with a number.
// Appended and flushed line by line, so a reader sees every finished one.
#include <cstdio>
#include <string>

namespace modemsim {

class CSubmissionRecord {
 public:
  CSubmissionRecord() = default;
  ~CSubmissionRecord();
  CSubmissionRecord(const CSubmissionRecord&) = delete;
  CSubmissionRecord& operator=(const CSubmissionRecord&) = delete;

  bool Open(const std::string& path);  // an empty path records nothing
  void Append(int index, int announced, const std::string& pdu, const std::string& answer);
  void AppendEvent(const std::string& event, const std::string& memory, int index,
                   const std::string& kind, const std::string& pdu);

 private:
  FILE* m_file = nullptr;
};

}  // namespace modemsim
