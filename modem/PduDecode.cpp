// SMS-DELIVER and SMS-STATUS-REPORT from their hex text, and the words of
// the status table.
#include "modem/PduDecode.h"

#include <vector>

#include "modem/PduFields.h"

namespace pdu {
namespace {

// TP-MTI (TS 23.040 9.2.3.1) in the direction from the centre to the phone.
constexpr int kTypeMask = 0x03;
constexpr int kTypeDeliver = 0x00;
constexpr int kTypeStatusReport = 0x02;
constexpr int kUserDataHeader = 0x40;  // TP-UDHI

// TP-ST (TS 23.040 9.2.3.15), one row per defined value.
struct StatusEntry {
  int status;
  StatusClass statusClass;
  const char* words;
};

constexpr StatusEntry kStatusTable[] = {
    {0x00, StatusClass::Delivered, "received by the phone"},
    {0x01, StatusClass::Delivered, "forwarded to the phone, delivery not confirmed"},
    {0x02, StatusClass::Delivered, "replaced by the service centre"},
    {0x20, StatusClass::Pending, "congestion"},
    {0x21, StatusClass::Pending, "phone busy"},
    {0x22, StatusClass::Pending, "no response from the phone"},
    {0x23, StatusClass::Pending, "service rejected"},
    {0x24, StatusClass::Pending, "quality of service not available"},
    {0x25, StatusClass::Pending, "error in the phone"},
    {0x40, StatusClass::Failed, "remote procedure error"},
    {0x41, StatusClass::Failed, "incompatible destination"},
    {0x42, StatusClass::Failed, "connection rejected by the phone"},
    {0x43, StatusClass::Failed, "not obtainable"},
    {0x44, StatusClass::Failed, "quality of service not available"},
    {0x45, StatusClass::Failed, "no interworking available"},
    {0x46, StatusClass::Failed, "validity period expired"},
    {0x47, StatusClass::Failed, "deleted by the sender"},
    {0x48, StatusClass::Failed, "deleted by the service centre"},
    {0x49, StatusClass::Failed, "message does not exist"},
    {0x60, StatusClass::Failed, "congestion"},
    {0x61, StatusClass::Failed, "phone busy"},
    {0x62, StatusClass::Failed, "no response from the phone"},
    {0x63, StatusClass::Failed, "service rejected"},
    {0x64, StatusClass::Failed, "quality of service not available"},
    {0x65, StatusClass::Failed, "error in the phone"},
};

const StatusEntry* FindStatus(int status) {
  for (const StatusEntry& entry : kStatusTable) {
    if (entry.status == status) return &entry;
  }
  return nullptr;
}

bool OpenPdu(const std::string& hex, std::vector<unsigned char>& octets, std::string& problem) {
  if (!HexToOctets(hex, octets)) {
    problem = hex.size() % 2 != 0 ? "odd number of hex digits" : "not a hex text";
    return false;
  }
  return true;
}

bool CheckType(COctetReader& reader, int firstOctet, int type, const char* name) {
  if ((firstOctet & kTypeMask) == type) return true;
  reader.Fail(std::string("not an ") + name + ": TP-MTI " + std::to_string(firstOctet & kTypeMask));
  return false;
}

}  // namespace

StatusClass ClassOfStatus(int status) {
  const StatusEntry* entry = FindStatus(status);
  return entry != nullptr ? entry->statusClass : StatusClass::Unknown;
}

const char* StatusWords(int status) {
  const StatusEntry* entry = FindStatus(status);
  return entry != nullptr ? entry->words : "unknown status";
}

int TpduLength(const std::string& hex) {
  std::vector<unsigned char> octets;
  if (!HexToOctets(hex, octets) || octets.empty()) return -1;
  const std::size_t centre = 1 + static_cast<std::size_t>(octets[0]);
  return centre > octets.size() ? -1 : static_cast<int>(octets.size() - centre);
}

PduKind KindOfPdu(const std::string& hex) {
  std::vector<unsigned char> octets;
  if (!HexToOctets(hex, octets) || TpduLength(hex) < 1) return PduKind::Malformed;
  switch (octets[1 + octets[0]] & kTypeMask) {
    case kTypeDeliver: return PduKind::Deliver;
    case kTypeStatusReport: return PduKind::StatusReport;
    default: return PduKind::Other;
  }
}

bool DecodeStatusReport(const std::string& hex, StatusReport& report, std::string& problem) {
  report = StatusReport();
  problem.clear();
  std::vector<unsigned char> octets;
  if (!OpenPdu(hex, octets, problem)) return false;
  COctetReader reader(octets, "SMS-STATUS-REPORT");
  int firstOctet = 0;
  // What follows TP-ST (TP-PI and the parameters it announces) is left unread.
  const bool read = ReadServiceCentre(reader, report.serviceCentre) &&
                    reader.Octet("the first octet", firstOctet) &&
                    CheckType(reader, firstOctet, kTypeStatusReport, "SMS-STATUS-REPORT") &&
                    reader.Octet("TP-MR", report.reference) &&
                    ReadAddress(reader, "TP-RA", report.recipient) &&
                    ReadTimeStamp(reader, "TP-SCTS", report.serviceCentreTime) &&
                    ReadTimeStamp(reader, "TP-DT", report.dischargeTime) &&
                    reader.Octet("TP-ST", report.status);
  if (!read) {
    problem = reader.Problem();
    report = StatusReport();
  }
  return read;
}

bool DecodeDeliver(const std::string& hex, DeliverMessage& message, std::string& problem) {
  message = DeliverMessage();
  problem.clear();
  std::vector<unsigned char> octets;
  if (!OpenPdu(hex, octets, problem)) return false;
  COctetReader reader(octets, "SMS-DELIVER");
  int firstOctet = 0;
  const bool read = ReadServiceCentre(reader, message.serviceCentre) &&
                    reader.Octet("the first octet", firstOctet) &&
                    CheckType(reader, firstOctet, kTypeDeliver, "SMS-DELIVER") &&
                    ReadAddress(reader, "TP-OA", message.originator) &&
                    reader.Octet("TP-PID", message.protocolId) &&
                    reader.Octet("TP-DCS", message.dataCoding) &&
                    ReadTimeStamp(reader, "TP-SCTS", message.serviceCentreTime) &&
                    ReadUserData(reader, (firstOctet & kUserDataHeader) != 0, message);
  if (!read) {
    problem = reader.Problem();
    message = DeliverMessage();
  }
  return read;
}

}  // namespace pdu
