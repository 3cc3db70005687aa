// Writes the PDUs of a set of submissions for gammu_check.py, one line each:
//   kind number text pdu reference part total report centre
// kind is 7bit, ucs2 or part; number the expected "+" and 11 digits; text the
// expected cleaned text (or the part's slice) as hex of its 1251 bytes;
// reference, part and total are 0 for single PDUs; report 1 when a status
// report is asked for; centre the expected service-centre number, "-" for
// none.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "modem/Pdu.h"

namespace {

struct Submission {
  std::string number;
  std::string text;  // as typed
  // What the phone must show, written out by hand where the cleaning itself
  // is the point; empty: the text as cleaned.
  std::string shown = std::string();
  pdu::SubmitOptions options = pdu::SubmitOptions();
  std::string centre = "-";  // the service centre as gammu is to read it
};

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char octet[3];
  for (unsigned char c : bytes) {
    std::snprintf(octet, sizeof(octet), "%02x", c);
    hex += octet;
  }
  return hex.empty() ? "-" : hex;
}

std::string Cleaned(std::string text, const char* set) {
  pdu::KeepChars(&text[0], set);
  return std::string(text.c_str());
}

std::string ExpectedNumber(const std::string& cleaned) {
  std::string digits = cleaned[0] == '+' ? cleaned.substr(1) : cleaned;
  return (digits.size() == 10 ? "+7" : "+") + digits;
}

class Writer {
 public:
  explicit Writer(FILE* file) : m_file(file) {}
  bool Failed() const { return m_failed; }

  void Submit(const Submission& submission) {
    const std::string number = Cleaned(submission.number, pdu::kNumberChars);
    const std::string text = pdu::CleanMessage(submission.text.c_str());
    const std::string shown = submission.shown.empty() ? text : submission.shown;
    const pdu::Encoding encoding = pdu::ChooseEncoding(pdu::HasCyrillic(text.c_str()), text.c_str());
    std::string digits;
    if (!pdu::DestinationDigits(number.c_str(), encoding == pdu::Encoding::Gsm7, digits)) {
      std::fprintf(stderr, "number refused: %s\n", submission.number.c_str());
      m_failed = true;
      return;
    }
    const std::string expectedNumber = ExpectedNumber(number);
    m_submission = &submission;
    const pdu::SubmitOptions& options = submission.options;
    if (encoding == pdu::Encoding::Gsm7) {
      Line("7bit", expectedNumber, shown, pdu::Pdu7Bit(digits, text.c_str(), options), 0, 0, 0);
    } else if (encoding == pdu::Encoding::Ucs2) {
      Line("ucs2", expectedNumber, shown, pdu::PduUcs2(digits, text.c_str(), options), 0, 0, 0);
    } else {
      SubmitParts(expectedNumber, digits, text);
    }
  }

 private:
  void SubmitParts(const std::string& number, const std::string& digits, const std::string& text) {
    const int characters = static_cast<int>(text.size());
    const int parts = pdu::PartCount(characters);
    const int reference = ++m_reference & 0xFF;
    for (int part = 1; part <= parts; ++part) {
      const int offset = (part - 1) * pdu::kPartChars;
      const std::string slice = text.substr(offset, pdu::kPartChars);
      const std::string pduText = pdu::PduMultipartPart(
          digits, text.c_str() + offset, static_cast<int>(slice.size()), reference, parts, part,
          m_submission->options);
      Line("part", number, slice, pduText, reference, part, parts);
    }
  }

  void Line(const char* kind, const std::string& number, const std::string& text,
            const std::string& pduText, int reference, int part, int total) {
    if (pduText.empty()) {
      std::fprintf(stderr, "no PDU for %s text %s\n", kind, Hex(text).c_str());
      m_failed = true;
      return;
    }
    std::fprintf(m_file, "%s %s %s %s %d %d %d %d %s\n", kind, number.c_str(), Hex(text).c_str(),
                 pduText.c_str(), reference, part, total, m_submission->options.statusReport ? 1 : 0,
                 m_submission->centre.c_str());
  }

  FILE* m_file;
  const Submission* m_submission = nullptr;
  bool m_failed = false;
  int m_reference = 200;  // passes 255 to check that only the low octet is sent
};

std::vector<Submission> FixedSubmissions() {
  const std::string latin = "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz";
  const std::string signs = ".,;:\"?!@#$%&*()-+=\\/";
  const std::string cyrillic = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";
  return {
      {"+12345678901", "Hello"},
      {"+1 (234) 567-89-01", "@$\\"},
      {"9161234567", "Ten digits get a 7 in front"},
      {"89161234567", latin + signs},
      {"+79001112233", "abcdef1"},
      {"+79001112233", "one\r\ntwo", "one two"},
      {"+79001112233", "Привет,\r\nмир\tи\nвсё\r", "Привет, мир и все "},
      {"+79001112233", "ёжик Ёлка", "ежик Елка"},
      {"+79001112233", "\r\n\t<>[]{}_^`|~'"},
      {"+79001112233", Repeat("a", 160)},
      {"+79001112233", Repeat("a", 158) + "\\"},
      {"+79001112233", Repeat("@$\\", 40)},
      {"+79001112233", cyrillic + "!?"},
      {"+79001112233", Repeat("я", 70)},
      {"+79001112233", "Цена: 5$ @ 10% (А\\Б/В) Ёё", "Цена: 5$ @ 10% (А\\Б/В) Ее"},
      {"+79001112233", Repeat("а", 71)},
      {"+79001112233", Repeat("a", 161)},
      {"+79001112233", Repeat("a", 159) + "\\"},
      {"+79001112233", Repeat(cyrillic + signs + latin, 4).substr(0, 498)},
      {"+12345678901", "Hello", "", {true, ""}},
      {"+79001112233", "Да", "", {true, ""}},
      {"+79001112233", Repeat("я", 71), "", {true, ""}},
      {"+12345678901", "Hello", "", {false, "+79990000100"}, "+79990000100"},
      {"+79001112233", "Да", "", {true, "+7 (999) 000-01-00"}, "+79990000100"},
      {"+79001112233", Repeat("a", 161), "", {true, "+4915"}, "+4915"},
      {"+79001112233", "Hello", "", {true, "+799900001001234"}, "+799900001001234"},
  };
}

std::vector<Submission> RandomSubmissions(int count) {
  std::mt19937 random(1251u);
  auto below = [&random](int limit) {
    return std::uniform_int_distribution<int>(0, limit - 1)(random);
  };
  const std::string all = pdu::kTextChars;
  std::string latin;  // without Cyrillic, so that 7-bit gets its share
  for (char c : all) {
    if (!pdu::HasCyrillic(std::string(1, c).c_str())) latin += c;
  }
  std::vector<Submission> submissions;
  for (int i = 0; i < count; ++i) {
    Submission submission;
    const bool cyrillic = below(3) == 0;
    const std::string& chars = cyrillic ? all : latin;
    const int length = below(2) == 0 ? below(170) : below(400);
    for (int c = 0; c < length; ++c) {
      submission.text += chars[below(static_cast<int>(chars.size()))];
    }
    // Ten digits only where 7-bit is certain: 80 characters are at most 160 septets.
    const int digits = !cyrillic && length <= 80 && below(3) == 0 ? 10 : 11;
    submission.number = below(2) == 0 ? "+" : "";
    for (int d = 0; d < digits; ++d) submission.number += static_cast<char>('0' + below(10));
    submission.options.statusReport = below(3) == 0;
    if (below(4) == 0) {
      // Centres of 1 to 15 digits, odd and even counts.
      submission.centre = "+";
      const int centreDigits = 1 + below(15);
      for (int d = 0; d < centreDigits; ++d) submission.centre += static_cast<char>('0' + below(10));
      submission.options.serviceCentre = submission.centre;
    }
    submissions.push_back(submission);
  }
  return submissions;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pdu_cases <output file>\n");
    return 2;
  }
  FILE* file = std::fopen(argv[1], "w");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  Writer writer(file);
  for (const Submission& submission : FixedSubmissions()) writer.Submit(submission);
  for (const Submission& submission : RandomSubmissions(400)) writer.Submit(submission);
  const bool written = std::fclose(file) == 0;
  return writer.Failed() || !written ? 1 : 0;
}
