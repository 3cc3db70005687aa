#pragma once
// The pure layer of SMS submission: cleaning of number and text, the choice
// of encoding, and the SMS-SUBMIT PDUs as hex text (3GPP TS 23.040 9.2.2.2)
// with the AT+CMGS command that announces them. No ports, logs or clocks:
// every function may be called from any thread.
//
// Texts are zero-terminated code page 1251 byte strings. A PDU builder gives
// an empty string when its input cannot be encoded; the caller then sends
// nothing.
#include <string>

namespace pdu {

// The 147 characters a message may hold: space, digits, Latin and Cyrillic
// letters (1251 bytes 0xC0..0xFF) and twenty signs.
extern const char kTextChars[];
// The characters a telephone number may hold: "+1234567890".
extern const char kNumberChars[];

// Removes from text, in place, every character that does not occur in set;
// the others keep their order.
void KeepChars(char* text, const char* set);
// True when text holds a Cyrillic letter (any byte 0xC0..0xFF).
bool HasCyrillic(const char* text);
// The message as it is to read on the phone, before it is encoded: a line
// break (CR LF, LF or CR) or a tab becomes one blank, Ё and ё become Е and е
// (the encodings carry only the letters 0xC0..0xFF), and every other
// character outside kTextChars is removed.
std::string CleanMessage(const char* text);

// The number as it is sent: only the characters of kNumberChars kept.
std::string CleanNumber(const char* number);

// The TP-DA address digits of a cleaned number: without a leading "+",
// 11 digits (or 10 with "7" put in front when allowTen), an F filler, in
// swapped semi-octets: "12345678901" gives "2143658709F1". False when the
// number has another length or a character other than a digit after the
// leading "+"; digits is then left empty.
bool DestinationDigits(const char* number, bool allowTen, std::string& digits);

// Septets of text in the GSM 7-bit default alphabet, escape sequences
// counted as two.
int SeptetCount(const char* text);

constexpr int kMaxSeptets = 160;     // one 7-bit PDU
constexpr int kMaxUcs2Chars = 70;    // one UCS2 PDU
constexpr int kPartChars = 67;       // one part of a concatenated message

enum class Encoding { Gsm7, Ucs2, Ucs2Multipart };
// cyrillic: HasCyrillic of the message before cleaning. A long text without
// Cyrillic goes as UCS2 parts, not as 7-bit parts.
Encoding ChooseEncoding(bool cyrillic, const char* cleanedMessage);

// How a cleaned message goes out: its encoding and the number of PDUs (the
// parts of a concatenated message, else 1).
struct MessageForm {
  Encoding encoding;
  int parts;
};
MessageForm FormOfMessage(const char* cleanedMessage);
// True when a cleaned number can be addressed in a message of that
// encoding (DestinationDigits: ten digits only for 7-bit).
bool CanAddress(const char* cleanedNumber, Encoding encoding);

// The service-centre field that opens a PDU (3GPP TS 24.011 8.2.5.1, as
// TS 27.005 3.1 puts it before the TPDU): "00" for an empty number, which
// leaves the choice to the modem's stored centre; otherwise the octet count,
// type 91 (international, E.164) and the digits in swapped semi-octets:
// "+79990000100" gives "07919799000001F0". Blanks, hyphens, dots and
// parentheses are removed first; a "+" may lead. False, with field empty,
// for any other character, no digit, or more than 15 digits (E.164).
bool ServiceCentreField(const char* number, std::string& field);

// What a submission asks beyond the text. The defaults give the PDUs this
// layer has always sent.
struct SubmitOptions {
  // TP-SRR (TS 23.040 9.2.3.5): the network is to send a status report.
  bool statusReport = false;
  // The operator's service-centre number as for ServiceCentreField; empty:
  // none, the modem uses the one it has stored.
  std::string serviceCentre;
};

// digits: the 12 characters of DestinationDigits. Empty result when the text
// holds a character outside kTextChars, does not fit one PDU (160 septets;
// 70 characters), has a Cyrillic letter (7-bit), or the service centre of
// options is refused by ServiceCentreField.
std::string Pdu7Bit(const std::string& digits, const char* text,
                    const SubmitOptions& options = SubmitOptions());
std::string PduUcs2(const std::string& digits, const char* text,
                    const SubmitOptions& options = SubmitOptions());

// Parts of kPartChars characters needed for a text of that many characters.
int PartCount(int characters);
// Part `part` (from 1) of `parts`: the `length` characters starting at text,
// with the concatenation header carrying reference (its low 8 bits). Empty
// when length is not 1..kPartChars, parts not 1..255, part not 1..parts, or a
// character is outside kTextChars; options as for Pdu7Bit.
std::string PduMultipartPart(const std::string& digits, const char* text, int length,
                             int reference, int parts, int part,
                             const SubmitOptions& options = SubmitOptions());

// "at+cmgs=<octets>\r": the PDU length in octets without the service-centre
// field (its length octet and the address it announces).
std::string CmgsCommand(const std::string& pduText);
// TP-MR (3GPP TS 23.040 9.2.3.6) runs from 0 to 255 and wraps round through
// 0. A reported 0 is given as this value, the same reference modulo 256, so
// that 0 keeps meaning "no reference reported: not sent" for every caller.
constexpr int kReportedZero = 256;
// The message reference after "+CMGS:" in a modem reply, with or without a
// blank, with or without fields after it: at most 9 leading digits,
// kReportedZero when they are all zero; 0 when the text or the digits are
// missing.
int ParseReference(const char* reply);

}  // namespace pdu
