#include <cstring>
#include <string>

#include "engine/Engine.h"
#include "engine/SettingValue.h"
#include "engine/XmlChildNodes.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/XmlDocument.h"

namespace {

// The key elements under "root", in the order in which they are written.
struct SettingKey {
  const char* name;
  int32_t CEngine::*field;
  SettingKind kind;
};

constexpr SettingKey kSettingKeys[] = {
    {"BAUDRATE", &CEngine::m_baudRate, SettingKind::Speed},
    {"PORT", &CEngine::m_port, SettingKind::Port},
    {"CHECK", &CEngine::m_checkDuplicates, SettingKind::Flag},
    {"TIMEOUT", &CEngine::m_minPause, SettingKind::Pause},
    {"TIMEOUT2", &CEngine::m_maxPause, SettingKind::Pause},
};

// Elements written only when set away from their defaults, so that the file
// of an operator who never used them stays as it was.
// The marker folder, when it is not the one beside the program. The file
// holds text; a path on POSIX is UTF-8, on Windows 1251 (CommandLine.h).
constexpr char kMarkerFolderKey[] = "MARKERS";
// Status reports asked for: a flag.
constexpr char kReportsKey[] = "REPORTS";
// The service centre put into every message, and the stop words: text.
constexpr char kServiceCentreKey[] = "SMSC";
constexpr char kStopWordsKey[] = "STOPWORDS";

constexpr char16_t kEmptySettings[] =
    u"<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root></root>";

// The file a save writes first: the settings file's own path with ".tmp" for
// ".xml", in the same folder (a rename does not cross volumes).
std::string TemporaryPath(std::string path) {
  path.replace(path.size() - 3, 3, "tmp");
  return path;
}

// Sets field from the element name when root has one; a value not taken as
// it stands gets a note.
void ReadIntSetting(const platform::XmlNode& root, const char* name, SettingKind kind,
                    int32_t& field, std::vector<CSettingNote>& notes) {
  std::string text;
  if (!GetChildText(root, name, text)) return;
  const CSettingValue value = ReadSettingValue(kind, text);
  field = value.m_value;
  if (value.m_problem != SettingProblem::None) {
    notes.push_back({name, kind, text, value.m_problem, value.m_value});
  }
}

}  // namespace

std::string CEngine::GetConfigPath() {
  std::string path = platform::ProgramPath();
  if (path.empty()) return path;
  // The file name's extension is replaced; a name without one gets ".xml".
  // A dot in a folder name does not count.
  const size_t nameStart = path.rfind(platform::kPathSeparator) + 1;  // 0 without a separator
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot >= nameStart) path.resize(dot);
  return path + ".xml";
}

void CEngine::LoadSettings() {
  m_settingNotes.clear();
  const std::string path = GetConfigPath();
  if (path.empty()) return;
  // A missing, unreadable or malformed file leaves the settings as they are,
  // silently.
  platform::XmlDocument document;
  if (!document.Create() || !document.LoadFile(path)) return;
  const platform::XmlNode root = FindChildNode("root", document.Node());
  if (!root) return;
  for (const SettingKey& key : kSettingKeys) {
    ReadIntSetting(root, key.name, key.kind, this->*key.field, m_settingNotes);
  }
  ReadIntSetting(root, kReportsKey, SettingKind::Flag, m_requestReports, m_settingNotes);
  std::string folder;
  if (GetChildText(root, kMarkerFolderKey, folder)) {
    m_markerFolder = platform::PathFromUtf8(platform::Cp1251ToUtf8(folder));
  }
  GetChildText(root, kServiceCentreKey, m_smsc);
  GetChildText(root, kStopWordsKey, m_stopWords);
}


void CEngine::SaveSettings() {
  const std::string path = GetConfigPath();
  if (path.empty()) return;
  // Every failure leaves the old file (or none) without a word.
  platform::XmlDocument document;
  if (!document.Create() || !document.LoadText(kEmptySettings)) return;
  platform::XmlNode root = FindChildNode("root", document.Node());
  if (!root) return;
  for (const SettingKey& key : kSettingKeys) SetChildInt(root, key.name, this->*key.field);
  if (!m_markerFolder.empty()) {
    const std::string folder = platform::Utf8ToCp1251(platform::PathToUtf8(m_markerFolder));
    SetChildText(root, kMarkerFolderKey, folder.c_str());
  }
  if (m_requestReports != 0) SetChildInt(root, kReportsKey, 1);
  if (!m_smsc.empty()) SetChildText(root, kServiceCentreKey, m_smsc.c_str());
  if (m_stopWords != kDefaultStopWords) SetChildText(root, kStopWordsKey, m_stopWords.c_str());
  // Written beside the file, then put in its place in one step: a kill, a
  // crash or a full disk on the way leaves the old file whole, where writing
  // over it would leave it empty and the next start with every setting 0.
  const std::string temporary = TemporaryPath(path);
  if (!document.SaveFile(temporary) || !platform::ReplaceFileAtomically(temporary, path)) {
    platform::RemoveFile(temporary);
  }
}
