#pragma once
// The number a message is addressed to. Operators write Russian numbers the
// domestic way, "8 912 ..." with the trunk prefix 8, or without the country
// code, "912 ..."; both are turned into the international form 7... here, the
// same for every encoding of the message. No country code begins with 89, so
// no foreign number changes. The list keeps the number as loaded; the
// delivery sends this form, and the duplicate marker should be named by it.
//
// Pure: any thread.
#include <string>

enum class NumberChange {
  None,
  DomesticEight,  // eleven digits 89...: the 8 became the country code 7
  TenDigits,      // ten digits: the country code 7 put in front
};

// Why no message can be addressed to a number.
enum class NumberFault {
  None,
  TooShort,    // fewer than 10 digits (none at all included)
  TooLong,     // more than 11 digits
  PlusInside,  // a "+" that does not lead the number
};

struct CNumberForm {
  // "+" and digits only, as pdu::CleanNumber keeps them, in the form sent.
  std::string m_number;
  NumberChange m_change = NumberChange::None;
  NumberFault m_fault = NumberFault::None;
  // How many digits the number has as written.
  size_t m_digits = 0;
};

CNumberForm NumberForm(const char* number);
