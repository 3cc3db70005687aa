#pragma once
// How a modem writes the reference of a message it sent: "+CMGS: 12" (most
// modems), "+CMGS:12" (some modems and phones), or with the optional field
// of TS 27.005 3.5.1 after it.
#include <string>

namespace modemsim {

enum class CmgsForm { Blank, Tight, Fields };

// "blank", "tight" or "fields"; false for any other name.
bool ParseCmgsForm(const std::string& name, CmgsForm& form);

// The line without its line ends. Fields adds the service centre's time
// stamp in text mode ("+CMGS: 12,\"25/01/17,12:00:00+12\"") and the
// acknowledgement PDU in PDU mode (an SMS-SUBMIT-REPORT with that time
// stamp: "+CMGS: 12,\"010052107121000021\""). The time stamp is fixed, so
// that a dialogue repeats byte for byte.
std::string CmgsLine(CmgsForm form, int reference, bool textMode);

}  // namespace modemsim
