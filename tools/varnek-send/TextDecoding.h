#pragma once
// The bytes of a list, message or settings file as code page 1251 text, in
// the encoding that the file shows or the operator names, and what in them
// cannot be read. Pure: no files here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/varnek-send/SendOptions.h"

enum class FileEncoding { Cp1251, Utf8, Utf16Le, Utf16Be };

// How the encoding was chosen.
enum class EncodingSource { ByteOrderMark, Option, Detected, Default };

// What the text is for. A list: a character 1251 lacks becomes '?' (it can
// only stand in a name), a zero byte stays (the list loader skips it), and a
// byte order mark inside the text (two files joined) is given to the loader
// as the bytes of the UTF-8 mark, which it skips at the start of a line. A
// message: any of the three refuses the text, except a byte order mark,
// which is dropped.
enum class TextUse { List, Message };

enum class TextFaultKind {
  BadSequence,  // not valid in its encoding
  ZeroByte,     // a message only
  NotIn1251,    // a message only
};

// The first thing in a text that refuses it.
struct CTextFault {
  TextFaultKind m_kind = TextFaultKind::BadSequence;
  size_t m_line = 1;    // from 1, as an editor counts (CR LF, LF, CR end one)
  size_t m_offset = 0;  // of its first byte in the bytes given, from 0
  uint32_t m_codePoint = 0;  // NotIn1251: the character
};

struct CDecodedText {
  std::string m_text;  // code page 1251; empty when refused
  FileEncoding m_encoding = FileEncoding::Cp1251;
  EncodingSource m_source = EncodingSource::Default;
  std::optional<CTextFault> m_fault;  // set: the text is refused
};

// A byte order mark (UTF-8, UTF-16 LE, UTF-16 BE) decides whatever was
// asked, and is not part of the text. Without one, the encoding asked for;
// when none was, UTF-8 for bytes with some beyond ASCII that are valid UTF-8,
// or mostly so (then refused at the first bad sequence: a UTF-8 file with a
// broken character), else 1251. Cyrillic text in 1251 hardly ever holds a
// valid UTF-8 sequence: its letters would have to come in pairs with rare
// signs.
CDecodedText DecodeFileText(const std::string& bytes, std::optional<TextEncoding> asked,
                            TextUse use);

// The bytes as they are, in that encoding, no mark looked for. Offsets in
// a fault count from the first byte given.
CDecodedText DecodeText(const std::string& bytes, FileEncoding encoding, TextUse use);

// "cp1251", "UTF-8", "UTF-16 LE", "UTF-16 BE".
const char* EncodingName(FileEncoding encoding);
