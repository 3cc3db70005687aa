#include "tools/varnek-send/TextDecoding.h"

#include "platform/CodePage.h"

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// A pair of surrogates is one character beyond 1251 and becomes one '?'
// (U+FFFD), as in the UTF-8 conversion; a cut last unit becomes one too.
std::string Utf16To1251(const std::string& bytes, bool littleEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[i]);
    const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit = littleEndian ? static_cast<char16_t>(first | (second << 8))
                                       : static_cast<char16_t>((first << 8) | second);
    if (IsLowSurrogate(unit) && !units.empty() && IsHighSurrogate(units.back())) {
      units.back() = u'\xFFFD';
    } else {
      units += unit;
    }
  }
  if (bytes.size() % 2 != 0) units += u'\xFFFD';
  return platform::Utf16ToCp1251(units);
}

struct Decoder {
  FileEncoding encoding;
  const char* name;
  std::string (*to1251)(const std::string& bytes);
};

constexpr Decoder kDecoders[] = {
    {FileEncoding::Cp1251, "cp1251", [](const std::string& bytes) { return bytes; }},
    {FileEncoding::Utf8, "UTF-8", platform::Utf8ToCp1251},
    {FileEncoding::Utf16Le, "UTF-16 LE", [](const std::string& bytes) { return Utf16To1251(bytes, true); }},
    {FileEncoding::Utf16Be, "UTF-16 BE", [](const std::string& bytes) { return Utf16To1251(bytes, false); }},
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

bool HasNonAscii(const std::string& bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

CDecodedText Decode(const std::string& bytes, FileEncoding encoding, EncodingSource source) {
  return {DecoderOf(encoding).to1251(bytes), encoding, source};
}

}  // namespace

CDecodedText DecodeFileText(const std::string& bytes, std::optional<TextEncoding> asked) {
  for (const ByteOrderMark& mark : kByteOrderMarks) {
    if (bytes.compare(0, mark.length, mark.bytes, mark.length) == 0) {
      return Decode(bytes.substr(mark.length), mark.encoding, EncodingSource::ByteOrderMark);
    }
  }
  if (asked.has_value()) {
    const FileEncoding encoding =
        *asked == TextEncoding::Utf8 ? FileEncoding::Utf8 : FileEncoding::Cp1251;
    return Decode(bytes, encoding, EncodingSource::Option);
  }
  if (HasNonAscii(bytes) && platform::IsValidUtf8(bytes)) {
    return Decode(bytes, FileEncoding::Utf8, EncodingSource::Detected);
  }
  return Decode(bytes, FileEncoding::Cp1251, EncodingSource::Default);
}

const char* EncodingName(FileEncoding encoding) { return DecoderOf(encoding).name; }
