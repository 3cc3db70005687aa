#include "tools/varnek-send/InputFile.h"

#include <cstdio>

#include "platform/CommandLine.h"
#include "platform/Files.h"

namespace {

struct ReadFailure {
  platform::FileReadResult result;
  Msg message;
};

constexpr ReadFailure kReadFailures[] = {
    {platform::FileReadResult::CannotOpen, Msg::FileCannotOpen},
    {platform::FileReadResult::NotRegular, Msg::FileNotRegular},
    {platform::FileReadResult::TooLarge, Msg::FileTooLarge},
    {platform::FileReadResult::ReadFailed, Msg::FileReadFailed},
};

struct SourceWords {
  EncodingSource source;
  Msg chosenBy;
};

// A cp1251 text has nothing to refuse for its encoding: Default never faults.
constexpr SourceWords kSourceWords[] = {
    {EncodingSource::ByteOrderMark, Msg::ChosenByMark},
    {EncodingSource::Option, Msg::ChosenByOption},
    {EncodingSource::Detected, Msg::ChosenByDetection},
    {EncodingSource::Default, Msg::ChosenByOption},
};

Msg ChosenBy(EncodingSource source) {
  for (const SourceWords& words : kSourceWords) {
    if (words.source == source) return words.chosenBy;
  }
  return Msg::ChosenByOption;
}

std::string EncodingNote(Msg what, const std::string& name, const CDecodedText& decoded,
                         std::optional<TextEncoding> asked) {
  const bool askedUtf8 = asked == TextEncoding::Utf8;
  const FileEncoding expected = askedUtf8 ? FileEncoding::Utf8 : FileEncoding::Cp1251;
  if (decoded.m_encoding == expected) return std::string();
  if (decoded.m_source == EncodingSource::ByteOrderMark) {
    return Say(Msg::ReadByMark, {Say(what), name, EncodingName(decoded.m_encoding)});
  }
  return Say(Msg::ReadAsUtf8, {Say(what), name});
}

std::string CodePointName(uint32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
  return name;
}

}  // namespace

bool ReadInputFile(const std::string& path, const std::string& shown, Msg what,
                   std::string& bytes, std::string& error) {
  const platform::FileReadResult result = platform::ReadRegularFile(path, kMaxInputFileBytes, bytes);
  for (const ReadFailure& failure : kReadFailures) {
    if (failure.result == result) {
      error = Say(failure.message, {Say(what), shown});
      return false;
    }
  }
  return true;
}

std::string FaultOfFile(Msg what, const std::string& shown, const CDecodedText& decoded,
                        Msg chosenBy) {
  const CTextFault& fault = *decoded.m_fault;
  const std::string line = std::to_string(fault.m_line);
  const std::string offset = std::to_string(fault.m_offset);
  switch (fault.m_kind) {
    case TextFaultKind::BadSequence:
      return Say(Msg::NotValidEncoding, {Say(what), shown, EncodingName(decoded.m_encoding),
                                         Say(chosenBy), line, offset});
    case TextFaultKind::ZeroByte:
      return Say(Msg::FileZeroByte, {Say(what), shown, line, offset});
    case TextFaultKind::NotIn1251:
      break;
  }
  return Say(Msg::FileNotIn1251, {Say(what), shown, CodePointName(fault.m_codePoint), line, offset});
}

std::string FaultOfTextOption(const CDecodedText& decoded) {
  const CTextFault& fault = *decoded.m_fault;
  const std::string offset = std::to_string(fault.m_offset);
  if (fault.m_kind == TextFaultKind::NotIn1251) {
    return Say(Msg::TextNotIn1251, {CodePointName(fault.m_codePoint), offset});
  }
  return Say(Msg::TextNotUtf8, {offset});  // a command line holds no zero byte
}

bool ReadTextFile(const std::string& name, Msg what, std::optional<TextEncoding> asked,
                  TextUse use, std::string& text, std::vector<std::string>& notes,
                  std::string& error) {
  std::string bytes;
  if (!ReadInputFile(platform::PathFromUtf8(name), name, what, bytes, error)) return false;
  const CDecodedText decoded = DecodeFileText(bytes, asked, use);
  if (decoded.m_fault) {
    error = FaultOfFile(what, name, decoded, ChosenBy(decoded.m_source));
    return false;
  }
  text = decoded.m_text;
  const std::string note = EncodingNote(what, name, decoded, asked);
  if (!note.empty()) notes.push_back(note);
  return true;
}
