#include "tools/varnek-send/SettingsFile.h"

#include <cctype>
#include <optional>

#include "engine/XmlChildNodes.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/XmlDocument.h"
#include "tools/varnek-send/InputFile.h"

namespace {

// Of an element's text in a note: a file may hold anything there.
constexpr size_t kShownTextLength = 40;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The encoding named by the XML declaration that opens bytes: UTF-8 when
// there is none or it names none; nothing for one not checked here (1251,
// every byte of which is a character, and names we do not know, which the
// XML parser judges).
std::optional<FileEncoding> DeclaredEncoding(const std::string& bytes) {
  if (bytes.compare(0, 5, "<?xml") != 0) return FileEncoding::Utf8;
  const std::string declaration = bytes.substr(0, bytes.find("?>"));
  const size_t name = declaration.find("encoding");
  if (name == std::string::npos) return FileEncoding::Utf8;
  const size_t quote = declaration.find_first_of("\"'", name);
  if (quote == std::string::npos) return std::nullopt;
  const size_t end = declaration.find(declaration[quote], quote + 1);
  const std::string value = Lower(declaration.substr(quote + 1, end - quote - 1));
  if (value == "utf-8" || value == "utf8") return FileEncoding::Utf8;
  return std::nullopt;
}

// The fault of the file's bytes in the encoding they announce, if any. A
// byte order mark decides first; without one, the 1251 asked for here costs
// nothing and refuses nothing, and the declaration decides.
std::string EncodingFault(const std::string& bytes, const std::string& shown) {
  CDecodedText decoded = DecodeFileText(bytes, TextEncoding::Cp1251, TextUse::List);
  Msg chosenBy = Msg::ChosenByMark;
  if (decoded.m_source != EncodingSource::ByteOrderMark) {
    const std::optional<FileEncoding> declared = DeclaredEncoding(bytes);
    if (!declared) return std::string();
    decoded = DecodeText(bytes, *declared, TextUse::List);
    chosenBy = Msg::ChosenByDeclaration;
  }
  return decoded.m_fault ? FaultOfFile(Msg::SettingsFileWord, shown, decoded, chosenBy)
                         : std::string();
}

struct ProblemWords {
  SettingProblem problem;
  Msg words;
};

constexpr ProblemWords kProblemWords[] = {
    {SettingProblem::Empty, Msg::ProblemEmpty},
    {SettingProblem::NotANumber, Msg::ProblemNotANumber},
    {SettingProblem::Negative, Msg::ProblemNegative},
    {SettingProblem::TooLarge, Msg::ProblemTooLarge},
};

Msg WordsOf(SettingProblem problem) {
  for (const ProblemWords& entry : kProblemWords) {
    if (entry.problem == problem) return entry.words;
  }
  return Msg::ProblemNotANumber;
}

// The value taken, with what it means where a bare number would not say.
std::string Meaning(const CSettingNote& note) {
  const std::string value = std::to_string(note.m_value);
  switch (note.m_kind) {
    case SettingKind::Flag: return Say(note.m_value != 0 ? Msg::ValueOn : Msg::ValueOff, {value});
    case SettingKind::Pause: return Say(Msg::ValueSeconds, {value});
    case SettingKind::Speed: return note.m_value == 0 ? Say(Msg::ValueOwnSpeed) : value;
    case SettingKind::Port: return note.m_value == 0 ? Say(Msg::ValueNoPort) : value;
  }
  return value;
}

// The text as found, in one line of printable characters.
std::string Shown(const std::string& text) {
  std::string shown = text.substr(0, kShownTextLength);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  }
  return platform::Cp1251ToUtf8(shown) + (text.size() > kShownTextLength ? "..." : "");
}

}  // namespace

bool CheckSettingsFile(std::string& warning, std::string& error) {
  const std::string path = CEngine::GetConfigPath();
  if (path.empty() || !platform::PathExists(path)) return true;
  const std::string shown = platform::PathToUtf8(path);
  std::string bytes;
  if (!ReadInputFile(path, shown, Msg::SettingsFileWord, bytes, error)) return false;
  error = EncodingFault(bytes, shown);
  if (!error.empty()) return false;
  platform::XmlDocument document;
  if (!document.Create()) {
    warning = Say(Msg::SettingsNoDocument, {shown});
  } else if (!document.LoadFile(path)) {
    warning = Say(Msg::SettingsNotWellFormed, {shown});
  } else if (!FindChildNode("root", document.Node())) {
    warning = Say(Msg::SettingsNoRoot, {shown});
  }
  return true;
}

std::vector<std::string> SettingNotes(const CEngine& engine) {
  std::vector<std::string> notes;
  const std::string shown = platform::PathToUtf8(CEngine::GetConfigPath());
  for (const CSettingNote& note : engine.m_settingNotes) {
    notes.push_back(Say(Msg::SettingValueNote, {shown, note.m_key, Shown(note.m_text),
                                                Say(WordsOf(note.m_problem)), Meaning(note)}));
  }
  return notes;
}
