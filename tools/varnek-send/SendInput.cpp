#include "tools/varnek-send/SendInput.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr int kTempNameTries = 100;

// A UTF-8 editor's byte order mark would otherwise become a '?' that starts
// the first line's text and so loses its number.
std::string WithoutBom(const std::string& text) {
  return text.compare(0, 3, kUtf8Bom) == 0 ? text.substr(3) : text;
}

bool CanOpen(const std::string& path) {
  platform::ReadFile file;
  return file.Open(path);
}

// A new file beside the program for a converted copy of a list; "" when
// none can be made.
std::string NewTempFile() {
  const std::string folder = platform::ProgramFolder() + platform::kPathSeparator;
  for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
    const unsigned tag = platform::TickMs() + static_cast<unsigned>(attempt) * 7919u;
    const std::string path = folder + "varnek-send-" + std::to_string(tag) + ".tmp";
    if (platform::CreateNewEmptyFile(path)) return path;
  }
  return std::string();
}

// The writer reports no errors: the copy is read back, so that a full disk
// cannot cut the list short unseen.
bool WriteCopy(const std::string& path, const std::string& contents) {
  if (path.empty()) return false;
  {
    platform::AppendFile file;
    if (!file.Open(path)) return false;
    file.Write(contents.data(), contents.size());
  }
  std::string written;
  return platform::ReadWholeFile(path, written) && written == contents;
}

}  // namespace

std::string CSendInput::To1251(const std::string& text) const {
  if (m_options.m_encoding == TextEncoding::Cp1251) return text;
  return platform::Utf8ToCp1251(WithoutBom(text));
}

bool CSendInput::ReadMessage(std::string& message, std::string& error) const {
  if (m_options.m_text.has_value()) {
    message = platform::Utf8ToCp1251(*m_options.m_text);  // the terminal's encoding
    return true;
  }
  std::string contents;
  if (!platform::ReadWholeFile(platform::PathFromUtf8(m_options.m_textFile), contents)) {
    error = "cannot read the message file " + m_options.m_textFile;
    return false;
  }
  message = To1251(contents);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return true;
}

bool CSendInput::CheckListFiles(std::string& error) const {
  for (const CListSource& source : m_options.m_sources) {
    if (source.m_kind == CListSource::List && !CanOpen(platform::PathFromUtf8(source.m_value))) {
      error = "cannot open the list file " + source.m_value;
      return false;
    }
  }
  return true;
}

bool CSendInput::AppendSources(CEngine& engine, std::string& error) const {
  for (const CListSource& source : m_options.m_sources) {
    switch (source.m_kind) {
      case CListSource::List:
        if (!AppendListFile(engine, source.m_value, error)) return false;
        break;
      case CListSource::Mask:
        engine.GenerateFromMask(platform::Utf8ToCp1251(source.m_value).c_str());
        break;
      case CListSource::Number:
        engine.AddItem(CListItem{platform::Utf8ToCp1251(source.m_value), Accepted, std::string()});
        break;
    }
  }
  return true;
}

bool CSendInput::AppendListFile(CEngine& engine, const std::string& name, std::string& error) const {
  const std::string path = platform::PathFromUtf8(name);
  if (m_options.m_encoding == TextEncoding::Cp1251) {
    engine.LoadListFile(path.c_str());
    return true;
  }
  // The engine's loader reads code page 1251 files only: it gets a converted
  // copy.
  std::string contents;
  if (!platform::ReadWholeFile(path, contents)) {
    error = "cannot read the list file " + name;
    return false;
  }
  const std::string converted = To1251(contents);
  const std::string copy = NewTempFile();
  if (!WriteCopy(copy, converted)) {
    error = "cannot write a converted copy of " + name + " in " +
            platform::ProgramFolder();
    if (!copy.empty()) std::remove(copy.c_str());
    return false;
  }
  engine.LoadListFile(copy.c_str());
  std::remove(copy.c_str());
  return true;
}
