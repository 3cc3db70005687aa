// SMS-DELIVER and SMS-STATUS-REPORT decoding. The PDUs are worked examples,
// each checked with an independent decoder (gammu) for the fields it reads.
#include <gtest/gtest.h>

#include <string>

#include "modem/PduDecode.h"

namespace {

const std::string kCentre = "07919799000001F0";  // +79990000100
const std::string kStamp = "42500221000021";     // 2024-05-20 12:00:00 +03:00
const std::string kSender = "0B919700112233F4";  // +79001122334

struct DeliverCase {
  const char* name;
  std::string hex;
  std::string centre;
  std::string sender;
  int senderType;
  pdu::Alphabet alphabet;
  std::u16string text;
  std::string text1251;
  pdu::Concatenation concatenation;
  std::string stamp;
};

const DeliverCase kDelivers[] = {
    {"SevenBitNationalSender", "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37",
     "+27381000015", "27838890001", 0xC8, pdu::Alphabet::Gsm7, u"hellohello", "hellohello", {},
     "1999-03-29 15:16:59 +02:00"},
    {"Ucs2Cyrillic", kCentre + "04" + kSender + "0008" + kStamp + "0C041F04400438043204350442",
     "+79990000100", "+79001122334", 0x91, pdu::Alphabet::Ucs2, u"Привет", "Привет", {},
     "2024-05-20 12:00:00 +03:00"},
    {"AlphanumericSender", kCentre + "040BD0D6B0DC5D5E030000" + kStamp + "05C8329BFD06",
     "+79990000100", "Varnek", 0xD0, pdu::Alphabet::Gsm7, u"Hello", "Hello", {},
     "2024-05-20 12:00:00 +03:00"},
    // A header of six octets: one fill bit before the text's first septet.
    {"SevenBitPartWithFillBits", "0044" + kSender + "0000" + kStamp + "0C050003AB0302906536FB0D", "",
     "+79001122334", 0x91, pdu::Alphabet::Gsm7, u"Hello", "Hello", {0xAB, false, 3, 2},
     "2024-05-20 12:00:00 +03:00"},
    // A text-formatting element first, then concatenation with a 16-bit reference.
    {"Ucs2PartWideReferenceAfterOtherElement",
     "0044" + kSender + "0008" + kStamp + "100B0A0300000008041234030204140430", "", "+79001122334",
     0x91, pdu::Alphabet::Ucs2, u"Да", "Да", {0x1234, true, 3, 2}, "2024-05-20 12:00:00 +03:00"},
    {"ExtensionTable", "0004" + kSender + "0000" + kStamp + "091BD4A6BC496D7820", "",
     "+79001122334", 0x91, pdu::Alphabet::Gsm7, u"{€}[ ", "{€}[ ", {}, "2024-05-20 12:00:00 +03:00"},
    // @ £ $ _ Δ à, then ^ and \ by escape; an escape before a code the
    // extension lacks gives the default table's A.
    {"DefaultAlphabetBeyondAscii", "0004" + kSender + "0000" + kStamp + "0C80802002F96F289BD72608",
     "", "+79001122334", 0x91, pdu::Alphabet::Gsm7, u"@£$_Δà^\\A", "@?$_??^\\A", {},
     "2024-05-20 12:00:00 +03:00"},
    {"EightBitData", "0004" + kSender + "0004" + kStamp + "0548690A00FF", "", "+79001122334", 0x91,
     pdu::Alphabet::EightBit, std::u16string(u"Hi\n\0ÿ", 5), std::string("Hi\n\0?", 5), {},
     "2024-05-20 12:00:00 +03:00"},
    {"ZoneWestOfGreenwich", "0004" + kSender + "0000" + "42500221000029" + "05C8329BFD06", "",
     "+79001122334", 0x91, pdu::Alphabet::Gsm7, u"Hello", "Hello", {},
     "2024-05-20 12:00:00 -03:00"},
    // Part 0 and part 4 of 3: the elements are ignored.
    {"ConcatenationOutOfRangeIgnored",
     "0044" + kSender + "0008" + kStamp + "0F0A0003010300" "0003010304" "04140430", "", "+79001122334",
     0x91, pdu::Alphabet::Ucs2, u"Да", "Да", {}, "2024-05-20 12:00:00 +03:00"},
    // Octets beyond TP-UDL are left alone; a month 13 is no valid time.
    {"TrailingOctetsAndBadStamp", "0004" + kSender + "0000" + "42310221000021" + "05C8329BFD06FFFF",
     "", "+79001122334", 0x91, pdu::Alphabet::Gsm7, u"Hello", "Hello", {}, ""},
    // A DCS of the message-waiting group with UCS2, and a UCS2 text of an odd
    // octet count loses its last octet.
    {"WaitingIndicationUcs2OddLength", "0004" + kSender + "00E0" + kStamp + "03041F04", "",
     "+79001122334", 0x91, pdu::Alphabet::Ucs2, u"П", "П", {}, "2024-05-20 12:00:00 +03:00"},
};

class DeliverTest : public ::testing::TestWithParam<DeliverCase> {};

TEST_P(DeliverTest, DecodesTheFields) {
  const DeliverCase& c = GetParam();
  pdu::DeliverMessage message;
  std::string problem;
  ASSERT_TRUE(pdu::DecodeDeliver(c.hex, message, problem)) << problem;
  EXPECT_EQ("", problem);
  EXPECT_EQ(c.centre, message.serviceCentre);
  EXPECT_EQ(c.sender, message.originator.text);
  EXPECT_EQ(c.senderType, message.originator.type);
  EXPECT_EQ(c.alphabet, message.alphabet);
  EXPECT_TRUE(c.text == message.text) << "text of " << message.text.size() << " units";
  EXPECT_EQ(c.text1251, message.text1251);
  EXPECT_EQ(c.concatenation.reference, message.concatenation.reference);
  EXPECT_EQ(c.concatenation.wideReference, message.concatenation.wideReference);
  EXPECT_EQ(c.concatenation.parts, message.concatenation.parts);
  EXPECT_EQ(c.concatenation.part, message.concatenation.part);
  EXPECT_EQ(c.stamp, pdu::FormatTimeStamp(message.serviceCentreTime));
  EXPECT_EQ(pdu::PduKind::Deliver, pdu::KindOfPdu(c.hex));
}

INSTANTIATE_TEST_SUITE_P(Pdu, DeliverTest, ::testing::ValuesIn(kDelivers),
                         [](const auto& row) { return std::string(row.param.name); });

struct Refused {
  std::string hex;
  std::string problem;
};

TEST(DecodeDeliver, NamesWhatIsWrong) {
  const std::string head = "0004" + kSender + "0000" + kStamp;
  const Refused cases[] = {
      {"", "SMS-DELIVER cut short in the service-centre length"},
      {"0", "odd number of hex digits"},
      {"0G", "not a hex text"},
      {"0C91" + std::string(22, '0'), "service-centre field of 12 octets"},
      {"079197990000", "SMS-DELIVER cut short in the service-centre address"},
      {"0006" + kSender, "not an SMS-DELIVER: TP-MTI 2"},
      {"000415911234", "TP-OA of 21 semi-octets"},
      {"0004" + kSender + "0000425002", "SMS-DELIVER cut short in TP-SCTS"},
      {head, "SMS-DELIVER cut short in TP-UDL"},
      {head + "A1" + std::string(282, '0'), "TP-UDL of 161 septets"},
      {"0004" + kSender + "0008" + kStamp + "8D" + std::string(282, '0'), "TP-UDL of 141 octets"},
      {head + "05C8329BFD", "SMS-DELIVER cut short in TP-UD"},
      {"0044" + kSender + "0008" + kStamp + "040600030102", "user-data header longer than the user data"},
      {"0044" + kSender + "0008" + kStamp + "0605000401020300", "user-data header runs past its length"},
      {"0044" + kSender + "0008" + kStamp + "00", "user-data header longer than the user data"},
  };
  for (const Refused& c : cases) {
    pdu::DeliverMessage message;
    std::string problem;
    EXPECT_FALSE(pdu::DecodeDeliver(c.hex, message, problem)) << c.hex;
    EXPECT_EQ(c.problem, problem) << c.hex;
    EXPECT_EQ("", message.originator.text) << c.hex;
  }
}

TEST(DecodeStatusReport, DecodesTheFields) {
  const std::string discharge = "42500221000521";  // 2024-05-20 12:00:50 +03:00
  struct Case {
    std::string hex;
    std::string centre;
    int reference;
    std::string recipient;
    int status;
  };
  const Case cases[] = {
      {kCentre + "062A" + kSender + kStamp + discharge + "00", "+79990000100", 42, "+79001122334", 0x00},
      // A national recipient, and the optional parameters after TP-ST.
      {"0006FF0B819800112233F4" + kStamp + discharge + "41030000", "", 255, "89001122334", 0x41},
      {"000607" + kSender + kStamp + discharge + "62", "", 7, "+79001122334", 0x62},
  };
  for (const Case& c : cases) {
    pdu::StatusReport report;
    std::string problem;
    ASSERT_TRUE(pdu::DecodeStatusReport(c.hex, report, problem)) << c.hex << ": " << problem;
    EXPECT_EQ(c.centre, report.serviceCentre);
    EXPECT_EQ(c.reference, report.reference);
    EXPECT_EQ(c.recipient, report.recipient.text);
    EXPECT_EQ(c.status, report.status);
    EXPECT_EQ("2024-05-20 12:00:00 +03:00", pdu::FormatTimeStamp(report.serviceCentreTime));
    EXPECT_EQ("2024-05-20 12:00:50 +03:00", pdu::FormatTimeStamp(report.dischargeTime));
    EXPECT_EQ(pdu::PduKind::StatusReport, pdu::KindOfPdu(c.hex));
  }
}

TEST(DecodeStatusReport, NamesWhatIsWrong) {
  const Refused cases[] = {
      {"00062A" + kSender + kStamp + kStamp, "SMS-STATUS-REPORT cut short in TP-ST"},
      {"00042A" + kSender + kStamp + kStamp + "00", "not an SMS-STATUS-REPORT: TP-MTI 0"},
      {"00062A" + kSender + kStamp, "SMS-STATUS-REPORT cut short in TP-DT"},
      {"00062A0B91", "SMS-STATUS-REPORT cut short in TP-RA"},
      {"00062A", "SMS-STATUS-REPORT cut short in TP-RA"},
      {"00062AXX", "not a hex text"},
  };
  for (const Refused& c : cases) {
    pdu::StatusReport report;
    std::string problem;
    EXPECT_FALSE(pdu::DecodeStatusReport(c.hex, report, problem)) << c.hex;
    EXPECT_EQ(c.problem, problem) << c.hex;
  }
}

TEST(StatusTable, ClassAndWordsAtEveryBoundary) {
  struct Case {
    int status;
    pdu::StatusClass statusClass;
    std::string words;
  };
  const Case cases[] = {
      {0x00, pdu::StatusClass::Delivered, "received by the phone"},
      {0x02, pdu::StatusClass::Delivered, "replaced by the service centre"},
      {0x03, pdu::StatusClass::Unknown, "unknown status"},
      {0x1F, pdu::StatusClass::Unknown, "unknown status"},
      {0x20, pdu::StatusClass::Pending, "congestion"},
      {0x25, pdu::StatusClass::Pending, "error in the phone"},
      {0x26, pdu::StatusClass::Unknown, "unknown status"},
      {0x40, pdu::StatusClass::Failed, "remote procedure error"},
      {0x41, pdu::StatusClass::Failed, "incompatible destination"},
      {0x49, pdu::StatusClass::Failed, "message does not exist"},
      {0x4A, pdu::StatusClass::Unknown, "unknown status"},
      {0x60, pdu::StatusClass::Failed, "congestion"},
      {0x62, pdu::StatusClass::Failed, "no response from the phone"},
      {0x65, pdu::StatusClass::Failed, "error in the phone"},
      {0x66, pdu::StatusClass::Unknown, "unknown status"},
      {0xFF, pdu::StatusClass::Unknown, "unknown status"},
      {-1, pdu::StatusClass::Unknown, "unknown status"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.statusClass, pdu::ClassOfStatus(c.status)) << c.status;
    EXPECT_EQ(c.words, pdu::StatusWords(c.status)) << c.status;
  }
}

TEST(TpduLength, LeavesOutTheServiceCentreField) {
  struct Case {
    std::string hex;
    int length;
    pdu::PduKind kind;
  };
  const Case cases[] = {
      {kCentre + "062A", 2, pdu::PduKind::StatusReport},
      {"0011000B91", 4, pdu::PduKind::Other},
      {"00", 0, pdu::PduKind::Malformed},
      {"07919799", -1, pdu::PduKind::Malformed},
      {"", -1, pdu::PduKind::Malformed},
      {"0x", -1, pdu::PduKind::Malformed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.length, pdu::TpduLength(c.hex)) << c.hex;
    EXPECT_EQ(c.kind, pdu::KindOfPdu(c.hex)) << c.hex;
  }
}

}  // namespace
