// The causes of a refused submission in words, for the codes that operators
// meet. +CMS ERROR (3GPP TS 27.005 3.2.5): 0-127 are RP-causes of the network
// (TS 24.011 E-2), 128-255 TP-FCS values of the service centre (TS 23.040
// 9.2.3.22), 300-500 errors of the modem and its SIM, 512 and above the
// maker's own. +CME ERROR: TS 27.007 9.2.1.
#include <cctype>
#include <climits>
#include <cstring>

#include "modem/Reply.h"

namespace reply {
namespace {

struct Cause {
  Final kind;
  int first;  // a range of codes; the first entry that holds the code names it
  int last;
  // Whose fault: TS 24.011 E-2 and TS 23.040 9.2.3.22 tell which causes are
  // the sender's (its subscription, barring), the recipient's, or passing.
  RefusalKind fault;
  const char* words;
};

constexpr Cause kCauses[] = {
    {Final::CmsError, 1, 1, RefusalKind::Number, "unassigned number"},
    {Final::CmsError, 8, 8, RefusalKind::Modem, "operator determined barring"},
    {Final::CmsError, 10, 10, RefusalKind::Modem, "call barred"},
    {Final::CmsError, 21, 21, RefusalKind::Unplaced, "short message transfer rejected"},
    {Final::CmsError, 27, 27, RefusalKind::Number, "destination out of service"},
    {Final::CmsError, 28, 28, RefusalKind::Modem, "unidentified subscriber"},
    {Final::CmsError, 29, 29, RefusalKind::Unplaced, "facility rejected"},
    {Final::CmsError, 30, 30, RefusalKind::Modem, "unknown subscriber"},
    {Final::CmsError, 38, 38, RefusalKind::Transient, "network out of order"},
    {Final::CmsError, 41, 41, RefusalKind::Transient, "temporary failure"},
    {Final::CmsError, 42, 42, RefusalKind::Transient, "congestion"},
    {Final::CmsError, 47, 47, RefusalKind::Transient, "resources unavailable"},
    {Final::CmsError, 50, 50, RefusalKind::Modem, "requested facility not subscribed"},
    {Final::CmsError, 69, 69, RefusalKind::Unplaced, "requested facility not implemented"},
    {Final::CmsError, 81, 81, RefusalKind::Transient, "invalid short message transfer reference"},
    {Final::CmsError, 95, 95, RefusalKind::Unplaced, "invalid message"},
    {Final::CmsError, 96, 96, RefusalKind::Unplaced, "invalid mandatory information"},
    {Final::CmsError, 97, 97, RefusalKind::Unplaced, "message type non-existent or not implemented"},
    {Final::CmsError, 98, 98, RefusalKind::Unplaced, "message not compatible with the protocol state"},
    {Final::CmsError, 99, 99, RefusalKind::Unplaced, "information element non-existent or not implemented"},
    {Final::CmsError, 111, 111, RefusalKind::Unplaced, "protocol error"},
    {Final::CmsError, 127, 127, RefusalKind::Unplaced, "interworking error"},
    {Final::CmsError, 0, 127, RefusalKind::Unplaced, "refused by the network"},
    {Final::CmsError, 128, 128, RefusalKind::Unplaced, "telematic interworking not supported"},
    {Final::CmsError, 143, 143, RefusalKind::Unplaced, "protocol identifier not supported"},
    {Final::CmsError, 144, 144, RefusalKind::Unplaced, "data coding scheme not supported"},
    {Final::CmsError, 145, 145, RefusalKind::Unplaced, "message class not supported"},
    {Final::CmsError, 176, 176, RefusalKind::Unplaced, "message type not supported"},
    {Final::CmsError, 192, 192, RefusalKind::Transient, "service centre busy"},
    {Final::CmsError, 193, 193, RefusalKind::Modem, "no service centre subscription"},
    {Final::CmsError, 194, 194, RefusalKind::Transient, "service centre system failure"},
    {Final::CmsError, 195, 195, RefusalKind::Number, "invalid destination address"},
    {Final::CmsError, 196, 196, RefusalKind::Number, "destination barred"},
    {Final::CmsError, 197, 197, RefusalKind::Unplaced, "rejected as a duplicate message"},
    {Final::CmsError, 198, 199, RefusalKind::Unplaced, "validity period not supported"},
    {Final::CmsError, 208, 208, RefusalKind::Modem, "SIM message storage full"},
    {Final::CmsError, 210, 210, RefusalKind::Modem, "error in the phone"},
    {Final::CmsError, 211, 211, RefusalKind::Modem, "memory capacity exceeded"},
    {Final::CmsError, 128, 255, RefusalKind::Unplaced, "refused by the service centre"},
    {Final::CmsError, 300, 300, RefusalKind::Modem, "modem failure"},
    {Final::CmsError, 301, 301, RefusalKind::Modem, "SMS service of the modem reserved"},
    {Final::CmsError, 302, 302, RefusalKind::Modem, "operation not allowed"},
    {Final::CmsError, 303, 303, RefusalKind::Modem, "operation not supported"},
    {Final::CmsError, 304, 304, RefusalKind::Unplaced, "invalid PDU mode parameter"},
    {Final::CmsError, 305, 305, RefusalKind::Unplaced, "invalid text mode parameter"},
    {Final::CmsError, 310, 310, RefusalKind::Modem, "SIM not inserted"},
    {Final::CmsError, 311, 311, RefusalKind::Modem, "SIM PIN required"},
    {Final::CmsError, 312, 312, RefusalKind::Modem, "PH-SIM PIN required"},
    {Final::CmsError, 313, 313, RefusalKind::Modem, "SIM failure"},
    {Final::CmsError, 314, 314, RefusalKind::Transient, "SIM busy"},
    {Final::CmsError, 315, 315, RefusalKind::Modem, "SIM wrong"},
    {Final::CmsError, 316, 316, RefusalKind::Modem, "SIM PUK required"},
    {Final::CmsError, 317, 317, RefusalKind::Modem, "SIM PIN2 required"},
    {Final::CmsError, 318, 318, RefusalKind::Modem, "SIM PUK2 required"},
    {Final::CmsError, 320, 320, RefusalKind::Modem, "memory failure"},
    {Final::CmsError, 321, 321, RefusalKind::Unplaced, "invalid memory index"},
    {Final::CmsError, 322, 322, RefusalKind::Modem, "memory full"},
    {Final::CmsError, 330, 330, RefusalKind::Modem, "service centre address unknown"},
    {Final::CmsError, 331, 331, RefusalKind::Modem, "no network service"},
    {Final::CmsError, 332, 332, RefusalKind::Transient, "network timeout"},
    {Final::CmsError, 500, 500, RefusalKind::Transient, "unknown error"},
    {Final::CmsError, 512, INT_MAX, RefusalKind::Unplaced, "error of the modem's maker"},
    {Final::CmeError, 0, 0, RefusalKind::Modem, "phone failure"},
    {Final::CmeError, 1, 1, RefusalKind::Modem, "no connection to phone"},
    {Final::CmeError, 3, 3, RefusalKind::Modem, "operation not allowed"},
    {Final::CmeError, 4, 4, RefusalKind::Modem, "operation not supported"},
    {Final::CmeError, 5, 5, RefusalKind::Modem, "PH-SIM PIN required"},
    {Final::CmeError, 10, 10, RefusalKind::Modem, "SIM not inserted"},
    {Final::CmeError, 11, 11, RefusalKind::Modem, "SIM PIN required"},
    {Final::CmeError, 12, 12, RefusalKind::Modem, "SIM PUK required"},
    {Final::CmeError, 13, 13, RefusalKind::Modem, "SIM failure"},
    {Final::CmeError, 14, 14, RefusalKind::Transient, "SIM busy"},
    {Final::CmeError, 15, 15, RefusalKind::Modem, "SIM wrong"},
    {Final::CmeError, 16, 16, RefusalKind::Modem, "incorrect password"},
    {Final::CmeError, 17, 17, RefusalKind::Modem, "SIM PIN2 required"},
    {Final::CmeError, 18, 18, RefusalKind::Modem, "SIM PUK2 required"},
    {Final::CmeError, 20, 20, RefusalKind::Modem, "memory full"},
    {Final::CmeError, 23, 23, RefusalKind::Modem, "memory failure"},
    {Final::CmeError, 30, 30, RefusalKind::Modem, "no network service"},
    {Final::CmeError, 31, 31, RefusalKind::Transient, "network timeout"},
    {Final::CmeError, 32, 32, RefusalKind::Modem, "network not allowed, emergency calls only"},
    {Final::CmeError, 100, 100, RefusalKind::Transient, "unknown error"},
};

constexpr char kUnknownCause[] = "unknown cause";
constexpr int kMaxCodeDigits = 9;  // keeps the code inside int

// A code of one to nine digits; -1 for anything else (a verbose text).
int NumericCode(const std::string& detail) {
  if (detail.empty() || detail.size() > kMaxCodeDigits) return -1;
  int code = 0;
  for (char c : detail) {
    if (c < '0' || c > '9') return -1;
    code = code * 10 + (c - '0');
  }
  return code;
}

const Cause* CauseOf(Final kind, int code) {
  for (const Cause& cause : kCauses) {
    if (cause.kind == kind && code >= cause.first && code <= cause.last) return &cause;
  }
  return nullptr;
}

bool SameWords(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A verbose refusal (AT+CMEE=2) names its cause in the words of the table.
const Cause* CauseOfWords(Final kind, const std::string& words) {
  for (const Cause& cause : kCauses) {
    if (cause.kind == kind && SameWords(words, cause.words)) return &cause;
  }
  return nullptr;
}

}  // namespace

std::string RefusalCause(const FinalResult& result) {
  if (result.kind != Final::CmsError && result.kind != Final::CmeError) return std::string();
  std::string line = result.kind == Final::CmsError ? "+CMS ERROR:" : "+CME ERROR:";
  if (!result.detail.empty()) line += " " + result.detail;
  const int code = NumericCode(result.detail);
  if (code < 0) return line;
  const Cause* cause = CauseOf(result.kind, code);
  line += std::string(" (") + (cause != nullptr ? cause->words : kUnknownCause) + ")";
  return line;
}

RefusalKind ClassifyRefusal(const FinalResult& result) {
  if (result.kind != Final::CmsError && result.kind != Final::CmeError) return RefusalKind::Unplaced;
  const int code = NumericCode(result.detail);
  const Cause* cause =
      code >= 0 ? CauseOf(result.kind, code) : CauseOfWords(result.kind, result.detail);
  return cause != nullptr ? cause->fault : RefusalKind::Unplaced;
}

}  // namespace reply
