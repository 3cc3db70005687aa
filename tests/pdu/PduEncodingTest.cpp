// The choice of encoding and the PDU texts. Expected PDUs are worked examples
// checked with an independent decoder (gammu).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/Pdu.h"
#include "pdu/HexCompare.h"

namespace {

using pdu_test::Repeat;
using pdu_test::SameText;

const std::string kDigits = "2143658709F1";  // +12345678901
const std::string kHeader7Bit = "0011000B912143658709F10000AA";
const std::string kHeaderUcs2 = "0011000B912143658709F10008AA";
const std::string kHeaderPart = "0051000B912143658709F10008AA";

// What SendSMS does before it submits: clean, then choose.
std::string Clean(const std::string& text) { return pdu::CleanMessage(text.c_str()); }

TEST(ChooseEncoding, CountsCharactersForCyrillicAndSeptetsOtherwise) {
  struct Case {
    bool cyrillic;
    std::string text;
    pdu::Encoding encoding;
  };
  const Case cases[] = {
      {false, "Hello", pdu::Encoding::Gsm7},
      {false, "", pdu::Encoding::Gsm7},
      {false, Repeat("a", 160), pdu::Encoding::Gsm7},
      {false, Repeat("a", 161), pdu::Encoding::Ucs2Multipart},
      {false, Repeat("a", 158) + "\\", pdu::Encoding::Gsm7},
      {false, Repeat("a", 159) + "\\", pdu::Encoding::Ucs2Multipart},
      {false, Repeat("@$", 80), pdu::Encoding::Gsm7},
      {true, Repeat("я", 70), pdu::Encoding::Ucs2},
      {true, Repeat("я", 71), pdu::Encoding::Ucs2Multipart},
      {true, "Да" + Repeat("a", 68), pdu::Encoding::Ucs2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.encoding, pdu::ChooseEncoding(c.cyrillic, c.text.c_str())) << c.text;
  }
}

TEST(SeptetCount, CountsTheEscapeOfExtensionCharacters) {
  EXPECT_EQ(0, pdu::SeptetCount(""));
  EXPECT_EQ(5, pdu::SeptetCount("Hello"));
  EXPECT_EQ(4, pdu::SeptetCount("@$\\"));
  EXPECT_EQ(161, pdu::SeptetCount((Repeat("a", 159) + "\\").c_str()));
}

TEST(Pdu7Bit, PacksGsmSeptets) {
  struct Case {
    std::string rawText;
    std::string pdu;
  };
  const Case cases[] = {
      {"Hello", kHeader7Bit + "05C8329BFD06"},
      // @ is septet 00, $ is 02, \ is the escape 1B followed by 2F.
      {"@$\\", kHeader7Bit + "0400C1E605"},
      {"a\\b", kHeader7Bit + "04E1CD4B0C"},
      // Seven characters ending in a code below 0x40: the last octet is 00.
      {"abcdef1", kHeader7Bit + "0761F1985C36C700"},
      {"one\r\ntwo", kHeader7Bit + "076F771944BFBF01"},  // "one two"
      {"\r\n\t<>_~", kHeader7Bit + "022010"},             // two blanks
      {"<>_~", kHeader7Bit + "00"},
      {Repeat("a", 160), kHeader7Bit + "A0" + Repeat("E170381C0E87C3", 20)},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameText(pdu::Pdu7Bit(kDigits, Clean(c.rawText).c_str()), c.pdu)) << c.rawText;
  }
}

TEST(Pdu7Bit, RefusesWhatOnePduCannotCarry) {
  EXPECT_EQ("", pdu::Pdu7Bit(kDigits, Repeat("a", 161).c_str()));
  EXPECT_EQ("", pdu::Pdu7Bit(kDigits, (Repeat("a", 159) + "\\").c_str()));
  EXPECT_EQ("", pdu::Pdu7Bit(kDigits, "Привет"));
  EXPECT_EQ("", pdu::Pdu7Bit(kDigits, "a_b"));
  EXPECT_EQ("", pdu::Pdu7Bit("2143658709F", "Hello"));
}

TEST(PduUcs2, WritesUtf16CodesInLowercase) {
  struct Case {
    std::string text;
    std::string pdu;
  };
  const Case cases[] = {
      {"Привет", kHeaderUcs2 + "0C041f04400438043204350442"},
      {"Да @1\\", kHeaderUcs2 + "0C04140430002000400031005c"},
      {"АЯая", kHeaderUcs2 + "080410042f0430044f"},
      {Repeat("я", 70), kHeaderUcs2 + "8C" + Repeat("044f", 70)},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameText(pdu::PduUcs2(kDigits, c.text.c_str()), c.pdu));
  }
}

TEST(PduUcs2, RefusesMoreThanSeventyCharacters) {
  EXPECT_EQ("", pdu::PduUcs2(kDigits, Repeat("я", 71).c_str()));
  EXPECT_EQ("", pdu::PduUcs2(kDigits, "\xA8"));  // Ё is not permitted
}

TEST(PduMultipart, SplitsIntoPartsOfSixtySevenCharacters) {
  struct Case {
    std::string text;
    std::string unit;  // the UCS2 hex of each character
    std::vector<int> lengths;
    std::vector<std::string> headers;  // TP-UDL and the concatenation header
  };
  const Case cases[] = {
      {Repeat("а", 71), "0430", {67, 4}, {"8C0500035A0201", "0E0500035A0202"}},
      {Repeat("a", 161),
       "0061",
       {67, 67, 27},
       {"8C0500035A0301", "8C0500035A0302", "3C0500035A0303"}},
  };
  const int reference = 0x15A;  // only the low octet is carried
  for (const Case& c : cases) {
    const int parts = pdu::PartCount(static_cast<int>(c.text.size()));
    ASSERT_EQ(static_cast<int>(c.lengths.size()), parts);
    int offset = 0;
    for (int part = 1; part <= parts; ++part) {
      const int length = c.lengths[part - 1];
      const std::string expected = kHeaderPart + c.headers[part - 1] + Repeat(c.unit, length);
      EXPECT_TRUE(SameText(pdu::PduMultipartPart(kDigits, c.text.c_str() + offset, length,
                                                 reference, parts, part),
                           expected))
          << "part " << part;
      offset += length;
    }
  }
}

TEST(PduMultipart, RefusesInvalidPartArguments) {
  const char* text = "abc";
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, text, 0, 1, 1, 1));
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, text, 4, 1, 1, 1));  // past the text's end
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, Repeat("a", 68).c_str(), 68, 1, 1, 1));
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, text, 3, 1, 2, 0));
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, text, 3, 1, 2, 3));
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, text, 3, 1, 256, 1));
  EXPECT_EQ("", pdu::PduMultipartPart(kDigits, "a~c", 3, 1, 1, 1));
}

TEST(PartCount, RoundsUp) {
  const int cases[][2] = {{0, 0}, {1, 1}, {67, 1}, {68, 2}, {71, 2}, {134, 2}, {135, 3},
                          {161, 3}, {498, 8}};
  for (const auto& c : cases) EXPECT_EQ(c[1], pdu::PartCount(c[0])) << c[0];
}

TEST(CmgsCommand, AnnouncesOctetsWithoutTheServiceCentre) {
  EXPECT_TRUE(SameText(pdu::CmgsCommand(kHeader7Bit + "05C8329BFD06"), "at+cmgs=19\r"));
  EXPECT_TRUE(SameText(pdu::CmgsCommand(kHeader7Bit + "00"), "at+cmgs=14\r"));
  EXPECT_TRUE(SameText(pdu::CmgsCommand(kHeaderUcs2 + "8C" + Repeat("044f", 70)), "at+cmgs=154\r"));
  EXPECT_TRUE(SameText(pdu::CmgsCommand("07919799000001F0" + kHeader7Bit.substr(2) + "05C8329BFD06"),
                       "at+cmgs=19\r"));
}

// The status-report request and the service centre: the same PDUs with
// another first octet and another opening (checked with gammu).
TEST(SubmitOptions, SetTheReportBitAndOpenWithTheServiceCentre) {
  const std::string centre = "07919799000001F0";  // +79990000100
  const std::string afterFirst7Bit = "000B912143658709F10000AA05C8329BFD06";
  const std::string afterFirstUcs2 = "000B912143658709F10008AA0404140430";
  const std::string afterFirstPart = "000B912143658709F10008AA080500035A02010430";
  struct Case {
    pdu::SubmitOptions options;
    std::string single7Bit, singleUcs2, part;
  };
  const Case cases[] = {
      {{true, ""}, "0031" + afterFirst7Bit, "0031" + afterFirstUcs2, "0071" + afterFirstPart},
      {{false, "+79990000100"}, centre + "11" + afterFirst7Bit, centre + "11" + afterFirstUcs2,
       centre + "51" + afterFirstPart},
      {{true, " +7 (999) 000-01.00 "}, centre + "31" + afterFirst7Bit,
       centre + "31" + afterFirstUcs2, centre + "71" + afterFirstPart},
      {{false, "79990000100"}, centre + "11" + afterFirst7Bit, centre + "11" + afterFirstUcs2,
       centre + "51" + afterFirstPart},
      {{false, "+4915"}, "03919451" "11" + afterFirst7Bit, "03919451" "11" + afterFirstUcs2,
       "03919451" "51" + afterFirstPart},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.serviceCentre);
    const std::string single7Bit = pdu::Pdu7Bit(kDigits, "Hello", c.options);
    EXPECT_TRUE(SameText(single7Bit, c.single7Bit));
    EXPECT_TRUE(SameText(pdu::PduUcs2(kDigits, "Да", c.options), c.singleUcs2));
    EXPECT_TRUE(SameText(pdu::PduMultipartPart(kDigits, "а", 1, 0x5A, 2, 1, c.options), c.part));
    EXPECT_TRUE(SameText(pdu::CmgsCommand(single7Bit), "at+cmgs=19\r"));
  }
}

TEST(SubmitOptions, RefuseABadServiceCentreInsteadOfSendingHalfOfIt) {
  const char* bad[] = {"+7999O000100", "+", "++79990000100", "7999+0000100", "+7999000010012345",
                       "79990000100#", "+7999\t0000100"};
  for (const char* centre : bad) {
    const pdu::SubmitOptions options{true, centre};
    std::string field = "left over";
    EXPECT_FALSE(pdu::ServiceCentreField(centre, field)) << centre;
    EXPECT_EQ("", field) << centre;
    EXPECT_EQ("", pdu::Pdu7Bit(kDigits, "Hello", options)) << centre;
    EXPECT_EQ("", pdu::PduUcs2(kDigits, "Hello", options)) << centre;
    EXPECT_EQ("", pdu::PduMultipartPart(kDigits, "Hello", 5, 1, 1, 1, options)) << centre;
  }
  std::string field;
  EXPECT_TRUE(pdu::ServiceCentreField("", field));
  EXPECT_EQ("00", field);
  EXPECT_TRUE(pdu::ServiceCentreField("+799900001001234", field));  // 15 digits
  EXPECT_EQ("099197990000011032F4", field);
}

}  // namespace
