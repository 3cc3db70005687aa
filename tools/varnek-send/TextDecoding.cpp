#include "tools/varnek-send/TextDecoding.h"

#include "platform/CodePage.h"

namespace {

constexpr char16_t kByteOrderMarkCharacter = 0xFEFF;
// How the list loader knows the mark: as a 1251 file holds it.
constexpr char kByteOrderMarkBytes[] = "\xEF\xBB\xBF";

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// One character at a place in the bytes: its code point, kNoCodePoint when
// the bytes there are not valid, and how many bytes it takes.
struct Character {
  uint32_t codePoint;
  size_t length;
};

Character Utf8At(const std::string& bytes, size_t pos) {
  Character c{0, 0};
  c.length = platform::DecodeUtf8At(bytes, pos, c.codePoint);
  return c;
}

uint32_t Utf16Unit(const std::string& bytes, size_t pos, bool littleEndian) {
  const unsigned first = static_cast<unsigned char>(bytes[pos]);
  const unsigned second = static_cast<unsigned char>(bytes[pos + 1]);
  return littleEndian ? first | (second << 8) : (first << 8) | second;
}

// A pair of surrogates is one character; a lone one, or a last byte without
// its pair, is not valid.
Character Utf16At(const std::string& bytes, size_t pos, bool littleEndian) {
  if (pos + 1 >= bytes.size()) return {platform::kNoCodePoint, 1};
  const uint32_t unit = Utf16Unit(bytes, pos, littleEndian);
  if (IsLowSurrogate(unit)) return {platform::kNoCodePoint, 2};
  if (!IsHighSurrogate(unit)) return {unit, 2};
  if (pos + 3 >= bytes.size()) return {platform::kNoCodePoint, 2};
  const uint32_t low = Utf16Unit(bytes, pos + 2, littleEndian);
  if (!IsLowSurrogate(low)) return {platform::kNoCodePoint, 2};
  return {0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), 4};
}

// at: null for 1251, whose bytes are the text already.
struct Decoder {
  FileEncoding encoding;
  const char* name;
  Character (*at)(const std::string& bytes, size_t pos);
};

constexpr Decoder kDecoders[] = {
    {FileEncoding::Cp1251, "cp1251", nullptr},
    {FileEncoding::Utf8, "UTF-8", Utf8At},
    {FileEncoding::Utf16Le, "UTF-16 LE",
     [](const std::string& bytes, size_t pos) { return Utf16At(bytes, pos, true); }},
    {FileEncoding::Utf16Be, "UTF-16 BE",
     [](const std::string& bytes, size_t pos) { return Utf16At(bytes, pos, false); }},
};

const Decoder& DecoderOf(FileEncoding encoding) {
  for (const Decoder& decoder : kDecoders) {
    if (decoder.encoding == encoding) return decoder;
  }
  return kDecoders[0];
}

struct ByteOrderMark {
  const char* bytes;
  size_t length;
  FileEncoding encoding;
};

constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", 3, FileEncoding::Utf8},
    {"\xFF\xFE", 2, FileEncoding::Utf16Le},
    {"\xFE\xFF", 2, FileEncoding::Utf16Be},
};

// Walks the characters, counting lines, and builds the 1251 text or stops
// at the first fault.
class CTextWalk {
 public:
  CTextWalk(const std::string& bytes, size_t start, FileEncoding encoding, TextUse use)
      : m_bytes(bytes), m_pos(start), m_decoder(DecoderOf(encoding)), m_use(use) {}

  CDecodedText Run() {
    CDecodedText result;
    result.m_text.reserve(m_bytes.size() - m_pos);
    while (m_pos < m_bytes.size()) {
      const Character c = m_decoder.at != nullptr ? m_decoder.at(m_bytes, m_pos) : Character{0, 1};
      const bool taken = m_decoder.at != nullptr ? Take(c.codePoint, result) : TakeByte(result);
      if (!taken) {
        result.m_text.clear();
        return result;
      }
      m_pos += c.length;
    }
    return result;
  }

 private:
  bool Take(uint32_t codePoint, CDecodedText& result) {
    if (codePoint == platform::kNoCodePoint) return Refuse(TextFaultKind::BadSequence, 0, result);
    const bool message = m_use == TextUse::Message;
    if (codePoint == 0 && message) return Refuse(TextFaultKind::ZeroByte, 0, result);
    if (codePoint == kByteOrderMarkCharacter) {
      if (!message) result.m_text += kByteOrderMarkBytes;
      return true;
    }
    char byte = '?';
    if (codePoint > 0xFFFF || !platform::UnitToCp1251(static_cast<char16_t>(codePoint), byte)) {
      if (message) return Refuse(TextFaultKind::NotIn1251, codePoint, result);
    }
    Append(byte, result);
    return true;
  }

  // Every byte is a character of 1251 (0x98 included, as Windows maps it).
  bool TakeByte(CDecodedText& result) {
    const char byte = m_bytes[m_pos];
    if (byte == '\0' && m_use == TextUse::Message) return Refuse(TextFaultKind::ZeroByte, 0, result);
    Append(byte, result);
    return true;
  }

  void Append(char byte, CDecodedText& result) {
    result.m_text += byte;
    // CR LF ends one line, as an editor counts.
    if (byte == '\r' || (byte == '\n' && m_previous != '\r')) ++m_line;
    m_previous = byte;
  }

  bool Refuse(TextFaultKind kind, uint32_t codePoint, CDecodedText& result) {
    result.m_fault = CTextFault{kind, m_line, m_pos, codePoint};
    return false;
  }

  const std::string& m_bytes;
  size_t m_pos;
  const Decoder& m_decoder;
  TextUse m_use;
  size_t m_line = 1;
  char m_previous = '\0';
};

CDecodedText Decode(const std::string& bytes, size_t start, FileEncoding encoding,
                    EncodingSource source, TextUse use) {
  CDecodedText decoded = CTextWalk(bytes, start, encoding, use).Run();
  decoded.m_encoding = encoding;
  decoded.m_source = source;
  return decoded;
}

// Valid multi-byte UTF-8 sequences, and sequences that are not valid.
struct Utf8Census {
  size_t valid = 0;
  size_t invalid = 0;
};

Utf8Census CountUtf8(const std::string& bytes) {
  Utf8Census census;
  size_t pos = 0;
  while (pos < bytes.size()) {
    uint32_t codePoint = 0;
    const size_t length = platform::DecodeUtf8At(bytes, pos, codePoint);
    if (codePoint == platform::kNoCodePoint) {
      ++census.invalid;
    } else if (length > 1) {
      ++census.valid;
    }
    pos += length;
  }
  return census;
}

}  // namespace

CDecodedText DecodeFileText(const std::string& bytes, std::optional<TextEncoding> asked,
                            TextUse use) {
  for (const ByteOrderMark& mark : kByteOrderMarks) {
    if (bytes.compare(0, mark.length, mark.bytes, mark.length) == 0) {
      return Decode(bytes, mark.length, mark.encoding, EncodingSource::ByteOrderMark, use);
    }
  }
  if (asked.has_value()) {
    const FileEncoding encoding =
        *asked == TextEncoding::Utf8 ? FileEncoding::Utf8 : FileEncoding::Cp1251;
    return Decode(bytes, 0, encoding, EncodingSource::Option, use);
  }
  const Utf8Census census = CountUtf8(bytes);
  if (census.valid > census.invalid) {
    return Decode(bytes, 0, FileEncoding::Utf8, EncodingSource::Detected, use);
  }
  return Decode(bytes, 0, FileEncoding::Cp1251, EncodingSource::Default, use);
}

CDecodedText DecodeText(const std::string& bytes, FileEncoding encoding, TextUse use) {
  return Decode(bytes, 0, encoding, EncodingSource::Option, use);
}

const char* EncodingName(FileEncoding encoding) { return DecoderOf(encoding).name; }
