#include "tools/varnek-send/InputFile.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/varnek-send/TextDecoding.h"

namespace {

struct ReadFailure {
  platform::FileReadResult result;
  const char* reason;
};

constexpr ReadFailure kReadFailures[] = {
    {platform::FileReadResult::CannotOpen, "cannot be opened"},
    {platform::FileReadResult::NotRegular, "is not a regular file (a folder, a FIFO or a device)"},
    {platform::FileReadResult::TooLarge, "is larger than 64 MiB"},
    {platform::FileReadResult::ReadFailed, "cannot be read"},
};

std::string EncodingNote(const CDecodedText& decoded, std::optional<TextEncoding> asked) {
  const bool askedUtf8 = asked == TextEncoding::Utf8;
  const FileEncoding expected = askedUtf8 ? FileEncoding::Utf8 : FileEncoding::Cp1251;
  if (decoded.m_encoding == expected) return std::string();
  const std::string name = EncodingName(decoded.m_encoding);
  if (decoded.m_source == EncodingSource::ByteOrderMark) {
    return "has a " + name + " byte order mark: read as " + name;
  }
  return "is valid UTF-8: read as UTF-8 (--encoding cp1251 reads it as cp1251)";
}

}  // namespace

bool ReadInputFile(const std::string& path, const std::string& shown, const char* what,
                   std::string& bytes, std::string& error) {
  const platform::FileReadResult result = platform::ReadRegularFile(path, kMaxInputFileBytes, bytes);
  for (const ReadFailure& failure : kReadFailures) {
    if (failure.result == result) {
      error = std::string("the ") + what + " " + shown + " " + failure.reason;
      return false;
    }
  }
  return true;
}

bool ReadTextFile(const std::string& name, const char* what, std::optional<TextEncoding> asked,
                  std::string& text, std::vector<std::string>& notes, std::string& error) {
  std::string bytes;
  if (!ReadInputFile(platform::PathFromUtf8(name), name, what, bytes, error)) return false;
  const CDecodedText decoded = DecodeFileText(bytes, asked);
  text = decoded.m_text;
  const std::string note = EncodingNote(decoded, asked);
  if (!note.empty()) notes.push_back(std::string("the ") + what + " " + name + " " + note);
  return true;
}
