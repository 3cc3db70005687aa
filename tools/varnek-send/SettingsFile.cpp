#include "tools/varnek-send/SettingsFile.h"

#include "engine/Engine.h"
#include "engine/XmlChildNodes.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/XmlDocument.h"
#include "tools/varnek-send/InputFile.h"

namespace {

constexpr char kDefaultsInForce[] = ": the defaults are in force where no option is given";

}  // namespace

bool CheckSettingsFile(std::string& warning, std::string& error) {
  const std::string path = CEngine::GetConfigPath();
  if (path.empty() || !platform::PathExists(path)) return true;
  const std::string shown = platform::PathToUtf8(path);
  std::string bytes;
  if (!ReadInputFile(path, shown, "settings file", bytes, error)) return false;
  platform::XmlDocument document;
  if (!document.Create()) {
    warning = "no XML document can be made here to read the settings file " + shown + kDefaultsInForce;
  } else if (!document.LoadFile(path)) {
    warning = "the settings file " + shown + " is not well-formed XML" + kDefaultsInForce;
  } else if (!FindChildNode("root", document.Node())) {
    warning = "the settings file " + shown + " has no \"root\" element" + kDefaultsInForce;
  }
  return true;
}
