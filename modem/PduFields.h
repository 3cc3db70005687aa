#pragma once
// The fields that SMS-DELIVER and SMS-STATUS-REPORT share, read from octets
// with bounds: every read says whether the octets held it. For the decoders
// of PduDecode.h only.
#include <cstddef>
#include <string>
#include <vector>

#include "modem/PduDecode.h"

namespace pdu {

// The octets of a hex text (either case); false for an odd number of digits
// or any other character.
bool HexToOctets(const std::string& hex, std::vector<unsigned char>& octets);

// Reads octets front to back and never past the end. After the first failed
// read every later one fails too, and Problem() names the field that did not
// fit: "<what> cut short in <field>".
class COctetReader {
 public:
  COctetReader(const std::vector<unsigned char>& octets, const char* what)
      : m_octets(octets), m_what(what) {}

  bool Octet(const char* field, int& value);
  // count octets; at points at the first of them.
  bool Octets(const char* field, std::size_t count, const unsigned char*& at);
  std::size_t Left() const { return m_octets.size() - m_position; }
  bool Failed() const { return !m_problem.empty(); }
  const std::string& Problem() const { return m_problem; }
  // Records a problem of the caller's (a value out of range).
  void Fail(const std::string& problem);

 private:
  const std::vector<unsigned char>& m_octets;
  const char* m_what;
  std::size_t m_position = 0;
  std::string m_problem;
};

// The service-centre field: "+digits" for an international number, the
// digits otherwise, empty for length 0.
bool ReadServiceCentre(COctetReader& reader, std::string& number);
// A TP address (TS 23.040 9.1.2.5), its length counted in semi-octets.
bool ReadAddress(COctetReader& reader, const char* field, Address& address);
// Seven octets of a time stamp (TS 23.040 9.2.3.11). Values out of range
// leave the stamp not valid; only a stamp cut short fails.
bool ReadTimeStamp(COctetReader& reader, const char* field, TimeStamp& stamp);

// TP-UDL and TP-UD of an SMS-DELIVER with its user-data header when header
// (TP-UDHI) is set: fills alphabet (from dataCoding), concatenation, text and
// text1251 of message.
bool ReadUserData(COctetReader& reader, bool header, DeliverMessage& message);

// The 1251 text of UTF-16 text: one '?' for each character 1251 lacks, a
// surrogate pair counted as one character.
std::string TextIn1251(const std::u16string& text);

}  // namespace pdu
