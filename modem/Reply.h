#pragma once
// What the modem's replies say: the SMS prompt, the final result codes that
// end a command (V.250 "OK" and "ERROR", 3GPP TS 27.005 3.2.5 "+CMS ERROR",
// TS 27.007 9.2 "+CME ERROR") and the causes behind a refusal. Pure: no ports,
// logs or clocks; every function may be called from any thread.
//
// Replies are judged by lines: a line ends at CR or LF, and only a line whose
// end has arrived counts. Unsolicited lines (RING, +CMTI, ^RSSI ...) and the
// echo of commands and PDU text are lines like any other and never match.
#include <string>
#include <vector>

namespace reply {

// Removes the zero bytes (line noise, power-up garbage) from the length bytes
// of data, in place, keeping the others in order; gives the new length.
int DropZeroBytes(char* data, int length);

// True when text occurs in the length bytes of data.
bool Contains(const char* data, int length, const char* text);

// True when a line of data begins with word followed by a blank or a line
// end. With ">" this is the SMS prompt: "> " and ">" CR LF (as several LTE
// modules send it) count, a ">" inside a line does not.
bool HasLineWord(const char* data, int length, const char* word);

enum class Final { None, Ok, Error, CmsError, CmeError };

struct FinalResult {
  Final kind = Final::None;
  // For CmsError and CmeError: what follows the colon, without blanks at
  // either end: a number ("311") or the verbose text ("SIM PIN required").
  std::string detail;
};

// The complete lines of data (those whose CR or LF has arrived), without
// their line ends and in order; empty lines are left out.
std::vector<std::string> CompleteLines(const char* data, int length);

// text without the blanks at either end.
std::string Trimmed(const std::string& text);

// The final result code that one line is; None for any other line.
FinalResult ReadFinalLine(const std::string& line);

// The final result code among the complete lines of data: Ok when any line
// is "OK" (a reply holding both counts as success), else the first error
// line, else None (the command has not ended yet).
FinalResult ReadFinalResult(const char* data, int length);

// True for ERROR, +CMS ERROR and +CME ERROR.
bool IsFailure(const FinalResult& result);

// The refusal named for the operator: the line as the modem sent it, with
// the cause in words after a numeric code, e.g. "+CMS ERROR: 311 (SIM PIN
// required)" or "+CME ERROR: SIM PIN required". Empty for OK, ERROR and None,
// which carry no cause.
std::string RefusalCause(const FinalResult& result);

}  // namespace reply
