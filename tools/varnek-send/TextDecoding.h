#pragma once
// The bytes of a list or message file as code page 1251 text, in the
// encoding that the file shows or the operator names. Pure: no files here.
#include <optional>
#include <string>

#include "tools/varnek-send/SendOptions.h"

enum class FileEncoding { Cp1251, Utf8, Utf16Le, Utf16Be };

// How the encoding was chosen.
enum class EncodingSource { ByteOrderMark, Option, Detected, Default };

struct CDecodedText {
  std::string m_text;  // code page 1251; a character it lacks is one '?'
  FileEncoding m_encoding;
  EncodingSource m_source;
};

// A byte order mark (UTF-8, UTF-16 LE, UTF-16 BE) decides whatever was
// asked, and is not part of the text. Without one, the encoding asked for;
// when none was, UTF-8 for bytes that are valid UTF-8 with some beyond
// ASCII (Cyrillic text in 1251 hardly ever is: its letters would have to
// come in pairs with rare signs), else 1251.
CDecodedText DecodeFileText(const std::string& bytes, std::optional<TextEncoding> asked);

// "cp1251", "UTF-8", "UTF-16 LE", "UTF-16 BE".
const char* EncodingName(FileEncoding encoding);
