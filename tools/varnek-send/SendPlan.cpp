#include "tools/varnek-send/SendPlan.h"

#include <set>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/PortCheck.h"

namespace {

constexpr size_t kNumberDigits = 11;
constexpr int kPieceBytes = 32;  // of PDU text, as the submission paces it
// Warnings of one kind shown before "... and N more".
constexpr size_t kShownWarnings = 10;

struct EncodingName {
  pdu::Encoding encoding;
  const char* name;
};

constexpr EncodingName kEncodingNames[] = {
    {pdu::Encoding::Gsm7, "GSM 7-bit"},
    {pdu::Encoding::Ucs2, "UCS2"},
    {pdu::Encoding::Ucs2Multipart, "UCS2, concatenated"},
};

const char* NameOf(pdu::Encoding encoding) {
  for (const EncodingName& entry : kEncodingNames) {
    if (entry.encoding == encoding) return entry.name;
  }
  return "";
}

void Line(std::FILE* out, const char* label, const std::string& text) {
  std::fprintf(out, "  %-15s %s\n", label, text.c_str());
}

std::string Utf8(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

std::string Plural(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The list parser cuts a number at 11 digits and starts the text there;
// digits that follow, perhaps after separators, were part of the number.
bool CutAtEleven(const CListItem& item) {
  if (item.m_number.size() != kNumberDigits) return false;
  const size_t next = item.m_text.find_first_not_of("()-+ \t");
  return next != std::string::npos && item.m_text[next] >= '0' && item.m_text[next] <= '9';
}

// Why a number that cannot be addressed fails.
std::string WhyUnaddressable(const std::string& cleaned) {
  const std::string digits = cleaned.substr(!cleaned.empty() && cleaned[0] == '+' ? 1 : 0);
  if (digits.find('+') != std::string::npos) return "a \"+\" inside the number";
  if (digits.size() == kNumberDigits - 1) return "ten digits take a Latin (7-bit) message only";
  return Plural(digits.size(), "digit", "digits") +
         ", where 11 are needed (10 with a Latin message)";
}

}  // namespace

CSendPlan::CSendPlan(const CSendOptions& options, const CEngine& engine,
                     const std::vector<CSourceItems>& sources, bool settingsRead)
    : m_options(options),
      m_engine(engine),
      m_sources(sources),
      m_settingsRead(settingsRead),
      m_phoneText(pdu::CleanMessage(engine.m_message.c_str())),
      m_form(pdu::FormOfMessage(m_phoneText.c_str())) {}

void CSendPlan::PrintPlan(std::FILE* out) const {
  std::fprintf(out, "varnek-send plan:\n");
  const int baud = m_engine.m_baudRate;
  // A pool: every modem's port, in the order their numbers were given.
  const std::vector<int> ports = PortsOfRun(m_engine);
  std::string names;
  for (int port : ports) names += PortName(port) + ", ";
  Line(out, ports.size() == 1 ? "port" : "ports",
       names + (baud == 0 ? "the port's own speed" : std::to_string(baud) + " bit/s"));
  Line(out, "duplicates", m_engine.m_checkDuplicates == 0 ? "not checked" : MarkedCount());
  const int low = m_engine.m_minPause > 0 ? m_engine.m_minPause : 0;
  const int high = m_engine.m_maxPause > low ? m_engine.m_maxPause : low;
  Line(out, "pause",
       (high > low ? std::to_string(low) + " to " : std::string()) + std::to_string(high) +
           " s after each message sent");
  const uint32_t piece = m_engine.m_piecePause;
  Line(out, "piece pause",
       piece == 0 ? std::string("none: the PDU text in one write")
                  : std::to_string(piece) + " ms after each " + std::to_string(kPieceBytes) +
                        " characters of PDU text");
  Line(out, "settings", SettingsFile());
  PrintSourceCounts(out);
  Line(out, "message",
       std::string(NameOf(m_form.encoding)) + ", " +
           Plural(static_cast<size_t>(m_form.parts), "part", "parts") + ", " +
           Plural(m_phoneText.size(), "character", "characters"));
  Line(out, "the phone shows", "\"" + Utf8(m_phoneText) + "\"");
  std::fflush(out);
}

std::string CSendPlan::MarkedCount() const {
  const CMarkerStore markers = m_engine.Markers();
  size_t marked = 0;
  size_t unconfirmed = 0;
  for (size_t i = First(); i < m_engine.m_items.size(); ++i) {
    const std::string& number = m_engine.m_items[i].m_number;
    const bool isMarked = markers.IsMarked(number);
    marked += isMarked;
    unconfirmed += !isMarked && markers.IsUnconfirmed(number);
  }
  std::string count = "checked, markers in " + platform::PathToUtf8(markers.Folder()) + " (" +
                      std::to_string(marked) + " of these numbers marked already";
  if (unconfirmed > 0) {
    count += ", " + std::to_string(unconfirmed) + " left unconfirmed by a run that died: " +
             (m_engine.m_resendUnconfirmed ? "sent again (--resend-unconfirmed)"
                                           : "not sent without --resend-unconfirmed");
  }
  return count + ")";
}

std::string CSendPlan::SettingsFile() const {
  const std::string config = CEngine::GetConfigPath();
  const std::string shown = platform::PathToUtf8(config);
  if (!platform::PathExists(config)) {
    return "none: no " + shown + ", the defaults where no option is given";
  }
  if (m_settingsRead) return shown + " (read, never written)";
  return "none: " + shown + " gives none, the defaults where no option is given";
}

void CSendPlan::PrintSourceCounts(std::FILE* out) const {
  const char* label = "numbers";
  for (const CSourceItems& source : m_sources) {
    std::string what;
    switch (source.m_source.m_kind) {
      case CListSource::List: what = "from the list file " + source.m_source.m_value; break;
      case CListSource::Mask: what = "from the mask " + source.m_source.m_value; break;
      case CListSource::Number: what = "given: " + source.m_source.m_value; break;
    }
    Line(out, label, std::to_string(source.m_count) + " " + what);
    label = "";
  }
  Line(out, "",
       std::to_string(m_engine.m_items.size()) + " in all, sent from number " +
           std::to_string(m_options.m_from) + " on");
}

std::string CSendPlan::Where(size_t item) const {
  for (const CSourceItems& source : m_sources) {
    if (item < source.m_first || item >= source.m_first + source.m_count) continue;
    const std::string& value = source.m_source.m_value;
    switch (source.m_source.m_kind) {
      case CListSource::List:
        return value + " line " + std::to_string(source.m_lines[item - source.m_first]);
      case CListSource::Mask: return "the mask " + value;
      case CListSource::Number: return "--number " + value;
    }
  }
  return std::string();
}

void CSendPlan::PrintWarnings(std::FILE* out) const {
  WarnLongLines(out);
  WarnUnaddressable(out);
  if (m_phoneText.empty()) {
    std::fprintf(out,
                 "warning: nothing of the message is left once the characters that no "
                 "encoding carries are dropped: the phones get an empty message\n");
  }
  std::fflush(out);
}

void CSendPlan::WarnLongLines(std::FILE* out) const {
  size_t count = 0;
  for (const CSourceItems& source : m_sources) {
    if (source.m_source.m_kind != CListSource::List) continue;
    for (size_t i = source.m_first; i < source.m_first + source.m_count; ++i) {
      const CListItem& item = m_engine.m_items[i];
      if (!CutAtEleven(item) || ++count > kShownWarnings) continue;
      std::fprintf(out,
                   "warning: %s: more than 11 digits: the number is %s, \"%s\" goes to the text\n",
                   Where(i).c_str(), Utf8(item.m_number).c_str(), Utf8(item.m_text).c_str());
    }
  }
  if (count > kShownWarnings) {
    std::fprintf(out, "warning: ... and %zu more lines with more than 11 digits\n",
                 count - kShownWarnings);
  }
}

void CSendPlan::WarnUnaddressable(std::FILE* out) const {
  size_t count = 0;
  const std::vector<CListItem>& items = m_engine.m_items;
  for (size_t i = First(); i < items.size(); ++i) {
    const std::string cleaned = pdu::CleanNumber(items[i].m_number.c_str());
    if (pdu::CanAddress(cleaned.c_str(), m_form.encoding) || ++count > kShownWarnings) continue;
    std::fprintf(out, "warning: number %zu, %s (%s): %s: it fails before anything is sent\n", i + 1,
                 Utf8(items[i].m_number).c_str(), Where(i).c_str(),
                 WhyUnaddressable(cleaned).c_str());
  }
  if (count > kShownWarnings) {
    std::fprintf(out, "warning: ... and %zu more numbers that fail\n", count - kShownWarnings);
  }
}

void CSendPlan::Predict(std::vector<CListItem>& items) const {
  std::set<std::string> sent;  // with the check on: keys of the numbers the run marks
  const bool check = m_engine.m_checkDuplicates != 0;
  const CMarkerStore markers = m_engine.Markers();
  for (size_t i = First(); i < items.size(); ++i) {
    CListItem& item = items[i];
    const std::string key = CMarkerStore::KeyOf(item.m_number);
    if (check && (markers.IsMarked(item.m_number) || sent.count(key) != 0)) {
      item.m_state = Duplicate;
    } else if (check && !m_engine.m_resendUnconfirmed && markers.IsUnconfirmed(item.m_number)) {
      item.m_state = Unconfirmed;
    } else if (!pdu::CanAddress(pdu::CleanNumber(item.m_number.c_str()).c_str(), m_form.encoding)) {
      item.m_state = SendError;
    } else {
      item.m_state = Accepted;
      // A number without digits has no marker: never a duplicate.
      if (check && !key.empty()) sent.insert(key);
    }
  }
}
