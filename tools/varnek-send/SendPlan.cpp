#include "tools/varnek-send/SendPlan.h"

#include <set>

#include "engine/NumberForm.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/SendMessages.h"

namespace {

constexpr int kPieceBytes = 32;  // of PDU text, as the submission paces it
constexpr size_t kLabelWidth = 15;  // characters, the longest label's
// Of a dropped line's text in a warning.
constexpr size_t kShownTextLength = 60;

struct EncodingName {
  pdu::Encoding encoding;
  Msg name;
};

constexpr EncodingName kEncodingNames[] = {
    {pdu::Encoding::Gsm7, Msg::EncodingGsm7},
    {pdu::Encoding::Ucs2, Msg::EncodingUcs2},
    {pdu::Encoding::Ucs2Multipart, Msg::EncodingUcs2Parts},
};

Msg NameOf(pdu::Encoding encoding) {
  for (const EncodingName& entry : kEncodingNames) {
    if (entry.encoding == encoding) return entry.name;
  }
  return Msg::EncodingUcs2;
}

// The count in the plan of the issues of a source; dropped lines of either
// kind count as one (then the second issue repeats the first).
struct IssueCount {
  Msg words;
  ListLineIssue issue;
  ListLineIssue alsoIssue;
};

constexpr IssueCount kIssueCounts[] = {
    {Msg::CountDropped, ListLineIssue::TextBeforeNumber, ListLineIssue::NoNumber},
    {Msg::CountMarks, ListLineIssue::ByteOrderMark, ListLineIssue::ByteOrderMark},
    {Msg::CountLetter, ListLineIssue::LetterInNumber, ListLineIssue::LetterInNumber},
    {Msg::CountCut, ListLineIssue::CutAtEleven, ListLineIssue::CutAtEleven},
    {Msg::CountCannotSend, ListLineIssue::CannotSend, ListLineIssue::CannotSend},
    {Msg::CountChanged, ListLineIssue::NumberChanged, ListLineIssue::NumberChanged},
};

// The warnings of a source come in this order, one kind after another.
constexpr ListLineIssue kIssueOrder[] = {
    ListLineIssue::TextBeforeNumber, ListLineIssue::NoNumber,   ListLineIssue::ByteOrderMark,
    ListLineIssue::LetterInNumber,   ListLineIssue::CutAtEleven, ListLineIssue::CannotSend,
    ListLineIssue::NumberChanged,
};

// The label padded to its column by characters, not by UTF-8 bytes.
void Line(std::FILE* out, Msg label, const std::string& text) {
  std::string padded = label == Msg::Count ? std::string() : Say(label);
  size_t characters = 0;
  for (char c : padded) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (characters < kLabelWidth) padded.append(kLabelWidth - characters, ' ');
  std::fprintf(out, "  %s %s\n", padded.c_str(), text.c_str());
}

std::string Utf8(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

// A line's text as a warning quotes it: its start, control characters as
// blanks.
std::string Quoted(const std::string& text) {
  std::string shown = text.substr(0, kShownTextLength);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  }
  return Utf8(shown) + (text.size() > kShownTextLength ? "..." : "");
}

std::string FaultWords(const CNumberForm& form) {
  if (form.m_fault == NumberFault::PlusInside) return Say(Msg::FaultPlusInside);
  return SayCount(Msg::FaultDigitCount, form.m_digits);
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
  std::fprintf(out, "%s\n", Say(Msg::PlanTitle).c_str());
  const int baud = m_engine.m_baudRate;
  // A pool: every modem's port, in the order their numbers were given.
  const std::vector<int> ports = PortsOfRun(m_engine);
  std::string names;
  for (int port : ports) names += PortName(port) + ", ";
  Line(out, ports.size() == 1 ? Msg::LabelPort : Msg::LabelPorts,
       names + (baud == 0 ? Say(Msg::PortOwnSpeed) : Say(Msg::PortSpeed, {std::to_string(baud)})));
  Line(out, Msg::LabelDuplicates,
       m_engine.m_checkDuplicates == 0 ? Say(Msg::DuplicatesOff) : MarkedCount());
  const int low = m_engine.m_minPause > 0 ? m_engine.m_minPause : 0;
  const int high = m_engine.m_maxPause > low ? m_engine.m_maxPause : low;
  Line(out, Msg::LabelPause,
       high > low ? Say(Msg::PauseRange, {std::to_string(low), std::to_string(high)})
                  : Say(Msg::PauseFixed, {std::to_string(high)}));
  const uint32_t piece = m_engine.m_piecePause;
  Line(out, Msg::LabelPiecePause,
       piece == 0 ? Say(Msg::PiecePauseNone)
                  : Say(Msg::PiecePauseEvery, {std::to_string(piece), std::to_string(kPieceBytes)}));
  Line(out, Msg::LabelSettings, SettingsFile());
  PrintSourceCounts(out);
  Line(out, Msg::LabelMessage,
       Say(NameOf(m_form.encoding)) + ", " +
           SayCount(Msg::Parts, static_cast<size_t>(m_form.parts)) + ", " +
           SayCount(Msg::Characters, m_phoneText.size()));
  Line(out, Msg::LabelPhoneShows, "\"" + Utf8(m_phoneText) + "\"");
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
  const std::string folder = platform::PathToUtf8(markers.Folder());
  if (unconfirmed == 0) return Say(Msg::DuplicatesOn, {folder, std::to_string(marked)});
  return Say(Msg::DuplicatesOnUnconfirmed,
             {folder, std::to_string(marked), std::to_string(unconfirmed),
              Say(m_engine.m_resendUnconfirmed ? Msg::UnconfirmedSentAgain
                                               : Msg::UnconfirmedNotSent)});
}

std::string CSendPlan::SettingsFile() const {
  const std::string config = CEngine::GetConfigPath();
  const std::string shown = platform::PathToUtf8(config);
  if (!platform::PathExists(config)) return Say(Msg::SettingsNoFile, {shown});
  if (m_settingsRead) return Say(Msg::SettingsRead, {shown});
  return Say(Msg::SettingsGiveNone, {shown});
}

void CSendPlan::PrintSourceCounts(std::FILE* out) const {
  Msg label = Msg::LabelNumbers;
  for (const CSourceItems& source : m_sources) {
    const std::string count = std::to_string(source.m_count);
    const std::string& value = source.m_source.m_value;
    std::string line;
    switch (source.m_source.m_kind) {
      case CListSource::List: line = Say(Msg::NumbersFromList, {count, value}); break;
      case CListSource::Mask: line = Say(Msg::NumbersFromMask, {count, value}); break;
      case CListSource::Number: line = Say(Msg::NumbersGiven, {count, value}); break;
    }
    const char* separator = "; ";
    for (const IssueCount& kind : kIssueCounts) {
      const CListReport& report = source.m_report;
      size_t lines = report.Count(kind.issue);
      if (kind.alsoIssue != kind.issue) lines += report.Count(kind.alsoIssue);
      if (lines == 0) continue;
      line += separator + SayCount(kind.words, lines);
      separator = ", ";
    }
    Line(out, label, line);
    label = Msg::Count;  // the label once, over the first source
  }
  Line(out, Msg::Count,
       Say(Msg::NumbersInAll,
           {std::to_string(m_engine.m_items.size()), std::to_string(m_options.m_from)}));
}

std::string CSendPlan::Where(const CSourceItems& source, int line) {
  const std::string& value = source.m_source.m_value;
  switch (source.m_source.m_kind) {
    case CListSource::List: return Say(Msg::WhereLine, {value, std::to_string(line)});
    case CListSource::Mask: return Say(Msg::WhereMask, {value});
    case CListSource::Number: break;
  }
  return Say(Msg::WhereNumber, {value});
}

void CSendPlan::PrintWarnings(std::FILE* out) const {
  for (const CSourceItems& source : m_sources) WarnSource(out, source);
  std::fflush(out);
}

void CSendPlan::WarnSource(std::FILE* out, const CSourceItems& source) const {
  const CListReport& report = source.m_report;
  for (ListLineIssue issue : kIssueOrder) {
    for (const CListLineNote& note : report.Notes()) {
      if (note.m_issue != issue) continue;
      std::fprintf(out, "%s\n", Say(Msg::Warning, {NoteText(source, note)}).c_str());
    }
    if (report.Count(issue) <= kNotedLinesPerIssue) continue;
    const std::string where =
        source.m_source.m_kind == CListSource::List ? source.m_source.m_value : Where(source, 0);
    std::fprintf(out, "%s\n",
                 Say(Msg::Warning, {SayCount(Msg::MoreNotes, report.Count(issue) - kNotedLinesPerIssue,
                                             {where})})
                     .c_str());
  }
}

std::string CSendPlan::NoteText(const CSourceItems& source, const CListLineNote& note) const {
  const std::string where = Where(source, note.m_line);
  if (note.m_item == CListLineNote::kNoItem) {
    if (note.m_issue == ListLineIssue::ByteOrderMark) return Say(Msg::NoteByteOrderMark, {where});
    const Msg dropped = note.m_issue == ListLineIssue::TextBeforeNumber ? Msg::NoteTextBeforeNumber
                                                                         : Msg::NoteNoNumber;
    return Say(dropped, {where, Quoted(note.m_text)});
  }
  const CListItem& item = m_engine.m_items[note.m_item];
  const std::string number = Utf8(item.m_number);
  const std::string place = std::to_string(note.m_item + 1);
  const CNumberForm form = NumberForm(item.m_number.c_str());
  switch (note.m_issue) {
    case ListLineIssue::ByteOrderMark: return Say(Msg::NoteByteOrderMark, {where});
    case ListLineIssue::LetterInNumber:
      return Say(Msg::NoteLetterInNumber, {where, number, Quoted(item.m_text)});
    case ListLineIssue::CutAtEleven:
      return Say(Msg::NoteCutAtEleven, {where, number, Quoted(item.m_text)});
    case ListLineIssue::CannotSend:
      return Say(Msg::NoteCannotSend, {place, number, where, FaultWords(form)});
    default: break;
  }
  const Msg change = form.m_change == NumberChange::DomesticEight ? Msg::ChangeDomesticEight
                                                                  : Msg::ChangeTenDigits;
  return Say(Msg::NoteNumberChanged, {place, number, where, form.m_number, Say(change)});
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
    } else if (NumberForm(item.m_number.c_str()).m_fault != NumberFault::None) {
      item.m_state = SendError;
    } else {
      item.m_state = Accepted;
      // A number without digits has no marker: never a duplicate.
      if (check && !key.empty()) sent.insert(key);
    }
  }
}
