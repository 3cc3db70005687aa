#pragma once
// What the modem's replies say: the SMS prompt, the final result codes that
// end a command (V.250 "OK" and "ERROR", 3GPP TS 27.005 3.2.5 "+CMS ERROR",
// TS 27.007 9.2 "+CME ERROR") and the causes behind a refusal. Pure: no ports,
// logs or clocks; every function may be called from any thread.
//
// Replies are judged by lines (modem/ReplyLines.h, modem/AnswerReader.h).
#include <string>

namespace reply {

// Removes the zero bytes (line noise, power-up garbage) from the length bytes
// of data, in place, keeping the others in order; gives the new length.
int DropZeroBytes(char* data, int length);

enum class Final { None, Ok, Error, CmsError, CmeError };

struct FinalResult {
  Final kind = Final::None;
  // For CmsError and CmeError: what follows the colon, without blanks at
  // either end: a number ("311") or the verbose text ("SIM PIN required").
  std::string detail;
};

// text without the blanks at either end.
std::string Trimmed(const std::string& text);

// The final result code that one line is; None for any other line.
FinalResult ReadFinalLine(const std::string& line);

// True for ERROR, +CMS ERROR and +CME ERROR.
bool IsFailure(const FinalResult& result);

// The refusal named for the operator: the line as the modem sent it, with
// the cause in words after a numeric code, e.g. "+CMS ERROR: 311 (SIM PIN
// required)" or "+CME ERROR: SIM PIN required". Empty for OK, ERROR and None,
// which carry no cause.
std::string RefusalCause(const FinalResult& result);

// Whose fault a refusal is, which decides what becomes of the number.
enum class RefusalKind {
  Number,     // the number itself (unassigned, barred): it fails, the modem goes on
  Modem,      // the modem, its SIM or subscription (PIN, no SIM, no network):
              // the number is not at fault and goes back, the modem rests
  Transient,  // busy, congestion, a temporary failure: tried again later
  Unplaced,   // no cause given, or one that names neither
};
RefusalKind ClassifyRefusal(const FinalResult& result);

}  // namespace reply
