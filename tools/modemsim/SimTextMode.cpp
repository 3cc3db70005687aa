#include "tools/modemsim/SimTextMode.h"

#include "tools/modemsim/SimAlphabet.h"
#include "tools/modemsim/SimScript.h"

namespace modemsim {

namespace {

constexpr int kDefaultParameters[4] = {17, 167, 0, 0};
constexpr int kCodingScheme = 3;
constexpr int kOctetMax = 255;
constexpr char32_t kReplacement = 0xFFFD;

bool DecodeIra(const std::string& typed, std::u32string& text) {
  for (char c : typed) {
    const unsigned char u = static_cast<unsigned char>(c);
    text += u < 0x80 ? static_cast<char32_t>(u) : kReplacement;
  }
  return true;
}

// The TE writes default-alphabet codes; a modem cannot take code 0x1B
// (ESC ends the text) nor 0x1A (Ctrl-Z).
bool DecodeGsm(const std::string& typed, std::u32string& text) {
  for (char c : typed) {
    const unsigned char u = static_cast<unsigned char>(c);
    text += u < 0x80 ? GsmCharacter(u) : kReplacement;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Four hex digits per character.
bool DecodeUcs2(const std::string& typed, std::u32string& text) {
  if (typed.size() % 4 != 0) return false;
  for (size_t at = 0; at < typed.size(); at += 4) {
    char32_t unit = 0;
    for (size_t i = at; i < at + 4; ++i) {
      const int digit = HexValue(typed[i]);
      if (digit < 0) return false;
      unit = unit * 16 + static_cast<char32_t>(digit);
    }
    text += unit;
  }
  return true;
}

struct CharacterSet {
  const char* name;
  bool (*decode)(const std::string& typed, std::u32string& text);
};

constexpr CharacterSet kCharsets[] = {{"IRA", DecodeIra}, {"GSM", DecodeGsm}, {"UCS2", DecodeUcs2}};

enum class Coding { Septets, Octets, Ucs2 };

// TS 23.038 4: the general groups (bit 7 clear) name the alphabet in bits 3
// and 2, group 1111 names 8-bit data in bit 2; the others carry 7-bit text
// here.
Coding CodingOf(int dcs) {
  if ((dcs & 0x80) == 0) {
    const int alphabet = dcs & 0x0C;
    return alphabet == 0x08 ? Coding::Ucs2 : alphabet == 0x04 ? Coding::Octets : Coding::Septets;
  }
  if ((dcs & 0xF0) == 0xF0 && (dcs & 0x04) != 0) return Coding::Octets;
  return Coding::Septets;
}

struct CodingLimit {
  Coding coding;
  int units;  // septets, octets or UCS2 characters in one message
};

constexpr CodingLimit kLimits[] = {
    {Coding::Septets, 160}, {Coding::Octets, 140}, {Coding::Ucs2, 70}};

// What the phone shows for one character, and the units it takes: a
// character the coding lacks becomes "?".
char32_t Shown(Coding coding, char32_t c, int& units) {
  units = 1;
  if (coding == Coding::Ucs2) return c;
  if (coding == Coding::Octets) return c <= 0xFF ? c : U'?';
  const int septets = GsmSeptets(c);
  if (septets == 0) return U'?';
  units = septets;
  return c;
}

std::string Unquoted(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// "a,b,c,d" into the given fields; an empty field keeps its value.
bool ParseFields(const std::string& list, int (&fields)[4]) {
  size_t start = 0;
  for (int& field : fields) {
    const size_t comma = list.find(',', start);
    const std::string item =
        list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!item.empty() && (!ParseCount(item, field) || field > kOctetMax)) return false;
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
  return false;  // a fifth field
}

}  // namespace

CSimTextMode::CSimTextMode(bool textOnly) : m_textOnly(textOnly) { PowerUp(); }

void CSimTextMode::PowerUp() {
  m_textFormat = m_textOnly;
  for (int i = 0; i < 4; ++i) m_parameters[i] = kDefaultParameters[i];
  m_charset = 0;
}

std::string CSimTextMode::MessageFormat(const std::string& argument) {
  if (argument == "?") return std::string("+CMGF: ") + (m_textFormat ? "1" : "0");
  if (argument == "=?") return m_textOnly ? "+CMGF: (1)" : "+CMGF: (0,1)";
  if (argument == "=1" || (argument == "=0" && !m_textOnly)) {
    m_textFormat = argument == "=1";
    return "";
  }
  return "ERROR";
}

std::string CSimTextMode::Parameters(const std::string& argument) {
  if (argument == "?") {
    std::string line = "+CSMP: ";
    for (int i = 0; i < 4; ++i) line += (i > 0 ? "," : "") + std::to_string(m_parameters[i]);
    return line;
  }
  if (argument == "=?") return "";
  int fields[4] = {m_parameters[0], m_parameters[1], m_parameters[2], m_parameters[3]};
  if (argument.size() < 2 || argument[0] != '=' || !ParseFields(argument.substr(1), fields)) {
    return "ERROR";
  }
  for (int i = 0; i < 4; ++i) m_parameters[i] = fields[i];
  return "";
}

std::string CSimTextMode::Charset(const std::string& argument) {
  if (argument == "?") return std::string("+CSCS: \"") + kCharsets[m_charset].name + "\"";
  if (argument == "=?") {
    std::string names;
    for (const CharacterSet& charset : kCharsets) {
      names += (names.empty() ? "\"" : ",\"") + std::string(charset.name) + "\"";
    }
    return "+CSCS: (" + names + ")";
  }
  if (argument.empty() || argument[0] != '=') return "ERROR";
  const std::string name = Unquoted(argument.substr(1));
  for (size_t i = 0; i < std::size(kCharsets); ++i) {
    if (name == kCharsets[i].name) {
      m_charset = i;
      return "";
    }
  }
  return "ERROR";
}

bool CSimTextMode::ParseDestination(const std::string& argument, std::string& number, int& type) {
  std::string rest;
  if (!argument.empty() && argument[0] == '"') {
    const size_t close = argument.find('"', 1);
    if (close == std::string::npos) return false;
    number = argument.substr(1, close - 1);
    rest = argument.substr(close + 1);
  } else {
    const size_t comma = argument.find(',');
    number = argument.substr(0, comma);
    if (comma != std::string::npos) rest = argument.substr(comma);
  }
  if (number.empty() || number.find_first_not_of("+0123456789*#") != std::string::npos) {
    return false;
  }
  type = number[0] == '+' ? 145 : 129;
  if (rest.empty()) return true;
  return rest[0] == ',' && ParseCount(rest.substr(1), type) && type <= kOctetMax;
}

bool CSimTextMode::ReadDestination(const std::string& argument, std::string& number,
                                   int& type) const {
  if (ParseDestination(argument, number, type)) return true;
  const size_t close = argument.find('"', 1);
  std::u32string decoded;
  if (kCharsets[m_charset].decode != DecodeUcs2 || argument.empty() || argument[0] != '"' ||
      close == std::string::npos || !DecodeUcs2(argument.substr(1, close - 1), decoded)) {
    return false;
  }
  std::string plain = "\"";
  for (char32_t c : decoded) plain += c < 0x80 ? static_cast<char>(c) : '?';
  return ParseDestination(plain + argument.substr(close), number, type);
}

std::string CSimTextMode::Check(const std::string& typed, SubmissionMarks& marks) const {
  const int dcs = m_parameters[kCodingScheme];
  marks.emplace_back("cscs", kCharsets[m_charset].name);
  marks.emplace_back("dcs", std::to_string(dcs));
  std::u32string text;
  if (!kCharsets[m_charset].decode(typed, text)) return "hex";
  const Coding coding = CodingOf(dcs);
  std::string shown;
  int units = 0;
  for (char32_t c : text) {
    int taken = 0;
    AppendUtf8(Shown(coding, c, taken), shown);
    units += taken;
  }
  marks.emplace_back("text", shown);
  for (const CodingLimit& limit : kLimits) {
    if (limit.coding == coding && units > limit.units) return "too long";
  }
  return "";
}

}  // namespace modemsim
