#pragma once
// The record of submissions: one line per AT+CMGS text that ended,
//   <index> TAB <announced length> TAB <text> TAB <answer> [TAB <mark>]...
// where text is what came before Ctrl-Z (escaped) and answer is "ok REF",
// "error ERROR", "error +CMS ERROR: X", "error +CME ERROR: X", "refused
// LINE" (at the command, no text), "invalid hex", "invalid length",
// "invalid too long", "dropped", "escaped" or "silent". The index counts the
// texts the modem took, from 1: an AT+CMGS refused at once has the index of
// the next (it is that submission, tried again). Text left over from before
// the simulator started (--start-in-text) has index 0.
// A mark is "key=value" (value escaped, UTF-8 kept):
//   mode=text        a text-mode submission (announced length 0); without
//                    it the text is a PDU
//   number=N type=T  text mode: the destination of AT+CMGS and its type
//   cscs=C dcs=D     text mode: the character set and the coding scheme
//   text=T           text mode: the text as the phone shows it, in UTF-8
//   sca=N            PDU mode: the service centre the PDU carried ("+" for
//                    an international one); none when the field was empty
//   rebooted=1       the device rebooted after Ctrl-Z, before its answer:
//                    the answer is what the network made of the message,
//                    which the client never saw
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
#include <utility>
#include <vector>

namespace modemsim {

using SubmissionMarks = std::vector<std::pair<std::string, std::string>>;

class CSubmissionRecord {
 public:
  CSubmissionRecord() = default;
  ~CSubmissionRecord();
  CSubmissionRecord(const CSubmissionRecord&) = delete;
  CSubmissionRecord& operator=(const CSubmissionRecord&) = delete;

  bool Open(const std::string& path);  // an empty path records nothing
  void Append(int index, int announced, const std::string& text, const std::string& answer,
              const SubmissionMarks& marks = {});
  void AppendEvent(const std::string& event, const std::string& memory, int index,
                   const std::string& kind, const std::string& pdu);

 private:
  FILE* m_file = nullptr;
};

}  // namespace modemsim
