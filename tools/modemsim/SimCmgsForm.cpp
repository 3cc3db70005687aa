#include "tools/modemsim/SimCmgsForm.h"

#include <cstdio>

namespace modemsim {

namespace {

struct FormName {
  const char* name;
  CmgsForm form;
};

constexpr FormName kFormNames[] = {
    {"blank", CmgsForm::Blank}, {"tight", CmgsForm::Tight}, {"fields", CmgsForm::Fields}};

// The service centre's time stamp: year, month, day, hour, minute, second
// and the time zone in quarters of an hour (+12: three hours east).
constexpr int kTimeStamp[7] = {25, 1, 17, 12, 0, 0, 12};

std::string TextTimeStamp() {
  char text[96];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d+%02d", kTimeStamp[0],
                kTimeStamp[1], kTimeStamp[2], kTimeStamp[3], kTimeStamp[4], kTimeStamp[5],
                kTimeStamp[6]);
  return text;
}

// TS 23.040 9.2.2.2a: SMS-SUBMIT-REPORT for RP-ACK: TP-MTI 01, no
// parameters (TP-PI 00), then TP-SCTS as seven octets of swapped semi-octets.
std::string AcknowledgementPdu() {
  std::string pdu = "0100";
  for (int value : kTimeStamp) {
    char octet[24];
    std::snprintf(octet, sizeof octet, "%d%d", value % 10, value / 10 % 10);
    pdu += octet;
  }
  return pdu;
}

}  // namespace

bool ParseCmgsForm(const std::string& name, CmgsForm& form) {
  for (const FormName& entry : kFormNames) {
    if (name == entry.name) {
      form = entry.form;
      return true;
    }
  }
  return false;
}

std::string CmgsLine(CmgsForm form, int reference, bool textMode) {
  const std::string number = std::to_string(reference);
  if (form == CmgsForm::Tight) return "+CMGS:" + number;
  if (form == CmgsForm::Blank) return "+CMGS: " + number;
  return "+CMGS: " + number + ",\"" + (textMode ? TextTimeStamp() : AcknowledgementPdu()) + "\"";
}

}  // namespace modemsim
