#include "modem/SmsLines.h"

#include <cstddef>
#include <vector>

namespace reply {
namespace {

constexpr int kMaxLength = 255;  // <length> counts the TPDU's octets
constexpr int kMaxStat = 3;
constexpr std::size_t kMaxDigits = 9;

struct LineForm {
  const char* prefix;
  SmsLineKind kind;
};

constexpr LineForm kForms[] = {
    {"+CMGL:", SmsLineKind::Listed},       {"+CMGR:", SmsLineKind::Read},
    {"+CDS:", SmsLineKind::Report},        {"+CMT:", SmsLineKind::Message},
    {"+CDSI:", SmsLineKind::ReportStored}, {"+CMTI:", SmsLineKind::MessageStored},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

struct Field {
  std::string text;
  bool quoted = false;
};

// The comma-separated fields of text, blanks around them removed and quotes
// taken off; false for a quote left open or text after a closing quote.
bool SplitFields(const std::string& text, std::vector<Field>& fields) {
  fields.clear();
  std::size_t at = 0;
  for (;;) {
    std::size_t end = text.find(',', at);
    Field field;
    field.text = Trim(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (!field.text.empty() && field.text[0] == '"') {
      const std::size_t open = text.find('"', at);
      const std::size_t close = text.find('"', open + 1);
      if (close == std::string::npos) return false;
      end = text.find(',', close);
      const std::string after = Trim(
          text.substr(close + 1, end == std::string::npos ? std::string::npos : end - close - 1));
      if (!after.empty()) return false;
      field.text = text.substr(open + 1, close - open - 1);
      field.quoted = true;
    }
    fields.push_back(field);
    if (end == std::string::npos) return true;
    at = end + 1;
  }
}

bool Number(const Field& field, int low, int high, int& value) {
  if (field.quoted || field.text.empty() || field.text.size() > kMaxDigits) return false;
  int result = 0;
  for (char c : field.text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  if (result < low || result > high) return false;
  value = result;
  return true;
}

constexpr int kMaxIndex = 999999999;

// "[<alpha>],<length>" at the end of fields, from first on: the alpha may be
// left out with its comma.
bool AlphaAndLength(const std::vector<Field>& fields, std::size_t first, SmsLine& line) {
  const std::size_t count = fields.size() - first;
  if (count != 1 && count != 2) return false;
  if (count == 2) line.alpha = fields[first].text;
  return Number(fields.back(), 1, kMaxLength, line.length);
}

bool ReadFields(const std::vector<Field>& fields, SmsLine& line) {
  switch (line.kind) {
    case SmsLineKind::Listed:
      return fields.size() >= 3 && Number(fields[0], 0, kMaxIndex, line.index) &&
             Number(fields[1], 0, kMaxStat, line.stat) && AlphaAndLength(fields, 2, line);
    case SmsLineKind::Read:
      return fields.size() >= 2 && Number(fields[0], 0, kMaxStat, line.stat) &&
             AlphaAndLength(fields, 1, line);
    case SmsLineKind::Report:
      return fields.size() == 1 && Number(fields[0], 1, kMaxLength, line.length);
    case SmsLineKind::Message:
      return AlphaAndLength(fields, 0, line);
    case SmsLineKind::ReportStored:
    case SmsLineKind::MessageStored:
      line.memory = fields[0].text;
      return fields.size() == 2 && !line.memory.empty() &&
             Number(fields[1], 0, kMaxIndex, line.index);
    case SmsLineKind::None:
      break;
  }
  return false;
}

}  // namespace

SmsLine ReadSmsLine(const std::string& text) {
  const std::string line = Trim(text);
  for (const LineForm& form : kForms) {
    const std::string prefix = form.prefix;
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    SmsLine result;
    result.kind = form.kind;
    std::vector<Field> fields;
    if (SplitFields(line.substr(prefix.size()), fields) && ReadFields(fields, result)) {
      return result;
    }
    return SmsLine();
  }
  return SmsLine();
}

bool PduFollows(const SmsLine& line) {
  return line.kind == SmsLineKind::Listed || line.kind == SmsLineKind::Read ||
         line.kind == SmsLineKind::Report || line.kind == SmsLineKind::Message;
}

}  // namespace reply
