#include <climits>
#include <cstring>
#include <string>

#include "engine/Engine.h"
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
};

constexpr SettingKey kSettingKeys[] = {
    {"BAUDRATE", &CEngine::m_baudRate}, {"PORT", &CEngine::m_port},
    {"CHECK", &CEngine::m_checkDuplicates}, {"TIMEOUT", &CEngine::m_minPause},
    {"TIMEOUT2", &CEngine::m_maxPause},
};

// The marker folder, when it is not the one beside the program. The file
// holds text; a path on POSIX is UTF-8, on Windows 1251 (CommandLine.h).
constexpr char kMarkerFolderKey[] = "MARKERS";

constexpr char16_t kEmptySettings[] =
    u"<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root></root>";

bool IsBlank(char c) { return std::strchr(" \t\r\n\v\f", c) != nullptr && c != '\0'; }

// The leading decimal integer: blanks skipped, an optional sign, digits up to
// the first other character; no digits give 0. Values beyond 32 bits stop at
// the nearest limit instead of wrapping.
int32_t LeadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) break;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The file a save writes first: the settings file's own path with ".tmp" for
// ".xml", in the same folder (a rename does not cross volumes).
std::string TemporaryPath(std::string path) {
  path.replace(path.size() - 3, 3, "tmp");
  return path;
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
  const std::string path = GetConfigPath();
  if (path.empty()) return;
  // A missing, unreadable or malformed file leaves the settings as they are,
  // silently.
  platform::XmlDocument document;
  if (!document.Create() || !document.LoadFile(path)) return;
  const platform::XmlNode root = FindChildNode("root", document.Node());
  if (!root) return;
  for (const SettingKey& key : kSettingKeys) {
    std::string text;
    if (GetChildText(root, key.name, text)) this->*key.field = LeadingInteger(text);
  }
  std::string folder;
  if (GetChildText(root, kMarkerFolderKey, folder)) {
    m_markerFolder = platform::PathFromUtf8(platform::Cp1251ToUtf8(folder));
  }
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
  // Written beside the file, then put in its place in one step: a kill, a
  // crash or a full disk on the way leaves the old file whole, where writing
  // over it would leave it empty and the next start with every setting 0.
  const std::string temporary = TemporaryPath(path);
  if (!document.SaveFile(temporary) || !platform::ReplaceFileAtomically(temporary, path)) {
    platform::RemoveFile(temporary);
  }
}
