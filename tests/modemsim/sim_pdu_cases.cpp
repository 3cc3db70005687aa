// Writes every form of report and incoming message that the simulator hands
// over, with the fields our decoder reads from it, for sim_gammu_check.py,
// which decodes each with gammu and compares. One tab-separated line each:
//   report  pdu centre reference recipient status scts dt
//   message pdu centre sender coding reference part parts scts text
// text is the UTF-8 of the decoded UTF-16, as hex; times as FormatTimeStamp.
// Fails (exit 1) when our decoder does not give back what the simulator was
// asked to write, or a long message does not join to its text.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "modem/PartAssembler.h"
#include "modem/PduDecode.h"
#include "platform/CodePage.h"
#include "tools/modemsim/SimPduWriter.h"

namespace {

const std::string kCentre = "+79990000100";
const std::time_t kSent = 1716195600;  // 2024-05-20 09:00:00 UTC

std::string Hex(const std::string& bytes) {
  std::string hex;
  char octet[3];
  for (unsigned char c : bytes) {
    std::snprintf(octet, sizeof(octet), "%02x", c);
    hex += octet;
  }
  return hex.empty() ? "-" : hex;
}

std::string Utf8(const std::u16string& text) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size()) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

class Writer {
 public:
  explicit Writer(FILE* file) : m_file(file) {}
  bool Failed() const { return m_failed; }

  void Report(int reference, const std::string& recipient, int status) {
    const std::string hex =
        modemsim::StatusReportPdu(kCentre, reference, recipient, kSent, kSent + 50, status);
    pdu::StatusReport report;
    std::string problem;
    if (!pdu::DecodeStatusReport(hex, report, problem) || report.reference != reference ||
        report.recipient.text != recipient || report.status != status) {
      return Fail("report " + hex + " " + problem);
    }
    std::fprintf(m_file, "report\t%s\t%s\t%d\t%s\t%d\t%s\t%s\n", hex.c_str(),
                 report.serviceCentre.c_str(), report.reference, report.recipient.text.c_str(),
                 report.status, pdu::FormatTimeStamp(report.serviceCentreTime).c_str(),
                 pdu::FormatTimeStamp(report.dischargeTime).c_str());
  }

  void Message(const std::string& sender, const std::u16string& text) {
    const int reference = ++m_reference & 0xFF;
    pdu::CPartAssembler assembler;
    pdu::JoinedMessage whole;
    bool joined = false;
    for (const std::string& hex : modemsim::DeliverPdus(kCentre, sender, text, reference, kSent)) {
      pdu::DeliverMessage message;
      std::string problem;
      if (!pdu::DecodeDeliver(hex, message, problem)) return Fail("message " + hex + " " + problem);
      const pdu::Concatenation& part = message.concatenation;
      std::fprintf(m_file, "message\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%s\t%s\n", hex.c_str(),
                   message.serviceCentre.c_str(), message.originator.text.c_str(),
                   message.alphabet == pdu::Alphabet::Gsm7 ? "7bit" : "ucs2", part.reference,
                   part.part, part.parts, pdu::FormatTimeStamp(message.serviceCentreTime).c_str(),
                   Hex(Utf8(message.text)).c_str());
      joined = assembler.Add(message, whole);
    }
    if (!joined || whole.text != text || whole.sender != platform::Utf8ToCp1251(sender)) {
      Fail("message from " + sender + " does not join to its text: " + Utf8(whole.text));
    }
  }

 private:
  void Fail(const std::string& what) {
    std::fprintf(stderr, "sim_pdu_cases: %s\n", what.c_str());
    m_failed = true;
  }

  FILE* m_file;
  bool m_failed = false;
  int m_reference = 250;  // passes 255
};

std::u16string Repeat(const std::u16string& piece, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

void FixedForms(Writer& writer) {
  const int statuses[] = {0x00, 0x01, 0x02, 0x20, 0x25, 0x41, 0x46, 0x62, 0x65, 0x7F, 0xFF};
  for (int status : statuses) writer.Report(status, "+79001122334", status);
  writer.Report(0, "+1", 0);
  writer.Report(255, "+123456789012345", 0x41);
  writer.Report(9, "89001122334", 0x00);
  writer.Message("+79001122334", u"Hello");
  writer.Message("+79001122334", u"");
  writer.Message("89001122334", u"Стоп");
  writer.Message("Varnek", u"STOP");
  writer.Message("Info 24", u"Баланс: 100 руб.");
  writer.Message("+79001122334", u"@£$¥èéùìòÇØøÅåΔ_ΦΓΛΩΠΨΣΘΞÆæßÉ !\"#¤%&'()*+,-./:;<=>?¡ÄÖÑÜ§¿äöñüà");
  writer.Message("+79001122334", u"{}[]~\\|^€\f");
  writer.Message("+79001122334", Repeat(u"a", 160));
  writer.Message("+79001122334", Repeat(u"a", 161));
  writer.Message("+79001122334", Repeat(u"a", 152) + u"€" + Repeat(u"b", 20));  // escape at the cut
  writer.Message("+79001122334", Repeat(u"a", 153 * 3));
  writer.Message("+79001122334", Repeat(u"я", 70));
  writer.Message("+79001122334", Repeat(u"я", 71));
  writer.Message("+79001122334", Repeat(u"я", 66) + u"\U0001F600" + u"ok");  // a pair at the cut
  writer.Message("+79001122334", Repeat(u"ё", 67 * 4));
}

void RandomForms(Writer& writer, int count) {
  std::mt19937 random(1251u);
  auto below = [&random](int limit) {
    return std::uniform_int_distribution<int>(0, limit - 1)(random);
  };
  const std::u16string pool = u"abcXYZ 019.,!?@$_{}[]€\\^~|£ΔÄüÉабвгдежЯЁё№«»—\U0001F600";
  for (int i = 0; i < count; ++i) {
    const bool latinOnly = below(2) == 0;
    const int length = below(3) == 0 ? below(400) : below(180);
    std::u16string text;
    while (static_cast<int>(text.size()) < length) {
      const std::size_t at =
          static_cast<std::size_t>(below(latinOnly ? 24 : static_cast<int>(pool.size())));
      // A surrogate pair is taken whole.
      if (pool[at] >= 0xDC00 && pool[at] <= 0xDFFF) continue;
      text += pool[at];
      if (pool[at] >= 0xD800 && pool[at] <= 0xDBFF) text += pool[at + 1];
    }
    std::string sender = below(2) == 0 ? "+" : "";
    const int digits = 1 + below(15);
    for (int d = 0; d < digits; ++d) sender += static_cast<char>('0' + below(10));
    writer.Message(sender, text);
    writer.Report(below(256), "+" + sender.substr(sender[0] == '+' ? 1 : 0), below(256));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sim_pdu_cases <output file>\n");
    return 2;
  }
  FILE* file = std::fopen(argv[1], "w");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  Writer writer(file);
  FixedForms(writer);
  RandomForms(writer, 300);
  const bool written = std::fclose(file) == 0;
  return writer.Failed() || !written ? 1 : 0;
}
