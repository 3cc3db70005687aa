#include "pdu/DecodeInvariants.h"

#include "modem/PduDecode.h"

namespace pdu_test {
namespace {

std::string CheckReport(const std::string& text, bool& read) {
  pdu::StatusReport report;
  std::string problem;
  read = pdu::DecodeStatusReport(text, report, problem);
  if (read == !problem.empty()) return "report: success and reason disagree: " + problem;
  if (report.reference < 0 || report.reference > 255) return "TP-MR beyond an octet";
  if (report.recipient.text.size() > 21) return "TP-RA beyond 20 digits";
  if (report.status < 0 || report.status > 255) return "TP-ST beyond an octet";
  return std::string();
}

std::string CheckMessage(const pdu::DeliverMessage& message, bool read,
                         const std::string& problem) {
  if (read == !problem.empty()) return "message: success and reason disagree: " + problem;
  if (message.text.size() > 160) return "more than 160 characters in one message";
  if (message.text1251.size() > message.text.size()) return "a 1251 text longer than its UTF-16";
  const pdu::Concatenation& part = message.concatenation;
  if (part.parts != 0 && (part.part < 1 || part.part > part.parts || part.parts > 255)) {
    return "a part number beyond its total";
  }
  return std::string();
}

}  // namespace

std::string CheckDecoding(const std::string& text, pdu::CPartAssembler& assembler) {
  bool reportRead = false;
  std::string problem = CheckReport(text, reportRead);
  if (!problem.empty()) return problem;
  pdu::DeliverMessage message;
  const bool messageRead = pdu::DecodeDeliver(text, message, problem);
  const std::string broken = CheckMessage(message, messageRead, problem);
  if (!broken.empty()) return broken;
  const pdu::PduKind kind = pdu::KindOfPdu(text);
  if (messageRead && kind != pdu::PduKind::Deliver) return "a message read as another kind";
  if (reportRead && kind != pdu::PduKind::StatusReport) return "a report read as another kind";
  const int length = pdu::TpduLength(text);
  if (length < -1 || (length >= 0 && static_cast<std::size_t>(length) * 2 >= text.size())) {
    return "a TPDU length beyond the text";
  }
  pdu::JoinedMessage whole;
  if (messageRead && assembler.Add(message, whole) && whole.text1251.size() > whole.text.size()) {
    return "a joined 1251 text longer than its UTF-16";
  }
  return std::string();
}

}  // namespace pdu_test
