// The causes of a refused submission in words, for the codes that operators
// meet. +CMS ERROR (3GPP TS 27.005 3.2.5): 0-127 are RP-causes of the network
// (TS 24.011 E-2), 128-255 TP-FCS values of the service centre (TS 23.040
// 9.2.3.22), 300-500 errors of the modem and its SIM, 512 and above the
// maker's own. +CME ERROR: TS 27.007 9.2.1.
#include <climits>

#include "modem/Reply.h"

namespace reply {
namespace {

struct Cause {
  Final kind;
  int first;  // a range of codes; the first entry that holds the code names it
  int last;
  const char* words;
};

constexpr Cause kCauses[] = {
    {Final::CmsError, 1, 1, "unassigned number"},
    {Final::CmsError, 8, 8, "operator determined barring"},
    {Final::CmsError, 10, 10, "call barred"},
    {Final::CmsError, 21, 21, "short message transfer rejected"},
    {Final::CmsError, 27, 27, "destination out of service"},
    {Final::CmsError, 28, 28, "unidentified subscriber"},
    {Final::CmsError, 29, 29, "facility rejected"},
    {Final::CmsError, 30, 30, "unknown subscriber"},
    {Final::CmsError, 38, 38, "network out of order"},
    {Final::CmsError, 41, 41, "temporary failure"},
    {Final::CmsError, 42, 42, "congestion"},
    {Final::CmsError, 47, 47, "resources unavailable"},
    {Final::CmsError, 50, 50, "requested facility not subscribed"},
    {Final::CmsError, 69, 69, "requested facility not implemented"},
    {Final::CmsError, 81, 81, "invalid short message transfer reference"},
    {Final::CmsError, 95, 95, "invalid message"},
    {Final::CmsError, 96, 96, "invalid mandatory information"},
    {Final::CmsError, 97, 97, "message type non-existent or not implemented"},
    {Final::CmsError, 98, 98, "message not compatible with the protocol state"},
    {Final::CmsError, 99, 99, "information element non-existent or not implemented"},
    {Final::CmsError, 111, 111, "protocol error"},
    {Final::CmsError, 127, 127, "interworking error"},
    {Final::CmsError, 0, 127, "refused by the network"},
    {Final::CmsError, 128, 128, "telematic interworking not supported"},
    {Final::CmsError, 143, 143, "protocol identifier not supported"},
    {Final::CmsError, 144, 144, "data coding scheme not supported"},
    {Final::CmsError, 145, 145, "message class not supported"},
    {Final::CmsError, 176, 176, "message type not supported"},
    {Final::CmsError, 192, 192, "service centre busy"},
    {Final::CmsError, 193, 193, "no service centre subscription"},
    {Final::CmsError, 194, 194, "service centre system failure"},
    {Final::CmsError, 195, 195, "invalid destination address"},
    {Final::CmsError, 196, 196, "destination barred"},
    {Final::CmsError, 197, 197, "rejected as a duplicate message"},
    {Final::CmsError, 198, 199, "validity period not supported"},
    {Final::CmsError, 208, 208, "SIM message storage full"},
    {Final::CmsError, 210, 210, "error in the phone"},
    {Final::CmsError, 211, 211, "memory capacity exceeded"},
    {Final::CmsError, 128, 255, "refused by the service centre"},
    {Final::CmsError, 300, 300, "modem failure"},
    {Final::CmsError, 301, 301, "SMS service of the modem reserved"},
    {Final::CmsError, 302, 302, "operation not allowed"},
    {Final::CmsError, 303, 303, "operation not supported"},
    {Final::CmsError, 304, 304, "invalid PDU mode parameter"},
    {Final::CmsError, 305, 305, "invalid text mode parameter"},
    {Final::CmsError, 310, 310, "SIM not inserted"},
    {Final::CmsError, 311, 311, "SIM PIN required"},
    {Final::CmsError, 312, 312, "PH-SIM PIN required"},
    {Final::CmsError, 313, 313, "SIM failure"},
    {Final::CmsError, 314, 314, "SIM busy"},
    {Final::CmsError, 315, 315, "SIM wrong"},
    {Final::CmsError, 316, 316, "SIM PUK required"},
    {Final::CmsError, 317, 317, "SIM PIN2 required"},
    {Final::CmsError, 318, 318, "SIM PUK2 required"},
    {Final::CmsError, 320, 320, "memory failure"},
    {Final::CmsError, 321, 321, "invalid memory index"},
    {Final::CmsError, 322, 322, "memory full"},
    {Final::CmsError, 330, 330, "service centre address unknown"},
    {Final::CmsError, 331, 331, "no network service"},
    {Final::CmsError, 332, 332, "network timeout"},
    {Final::CmsError, 500, 500, "unknown error"},
    {Final::CmsError, 512, INT_MAX, "error of the modem's maker"},
    {Final::CmeError, 0, 0, "phone failure"},
    {Final::CmeError, 1, 1, "no connection to phone"},
    {Final::CmeError, 3, 3, "operation not allowed"},
    {Final::CmeError, 4, 4, "operation not supported"},
    {Final::CmeError, 5, 5, "PH-SIM PIN required"},
    {Final::CmeError, 10, 10, "SIM not inserted"},
    {Final::CmeError, 11, 11, "SIM PIN required"},
    {Final::CmeError, 12, 12, "SIM PUK required"},
    {Final::CmeError, 13, 13, "SIM failure"},
    {Final::CmeError, 14, 14, "SIM busy"},
    {Final::CmeError, 15, 15, "SIM wrong"},
    {Final::CmeError, 16, 16, "incorrect password"},
    {Final::CmeError, 17, 17, "SIM PIN2 required"},
    {Final::CmeError, 18, 18, "SIM PUK2 required"},
    {Final::CmeError, 20, 20, "memory full"},
    {Final::CmeError, 23, 23, "memory failure"},
    {Final::CmeError, 30, 30, "no network service"},
    {Final::CmeError, 31, 31, "network timeout"},
    {Final::CmeError, 32, 32, "network not allowed, emergency calls only"},
    {Final::CmeError, 100, 100, "unknown error"},
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

const char* CauseWords(Final kind, int code) {
  for (const Cause& cause : kCauses) {
    if (cause.kind == kind && code >= cause.first && code <= cause.last) return cause.words;
  }
  return kUnknownCause;
}

}  // namespace

std::string RefusalCause(const FinalResult& result) {
  if (result.kind != Final::CmsError && result.kind != Final::CmeError) return std::string();
  std::string line = result.kind == Final::CmsError ? "+CMS ERROR:" : "+CME ERROR:";
  if (!result.detail.empty()) line += " " + result.detail;
  const int code = NumericCode(result.detail);
  if (code >= 0) line += std::string(" (") + CauseWords(result.kind, code) + ")";
  return line;
}

}  // namespace reply
