#include "engine/NumberForm.h"

#include "modem/Pdu.h"

namespace {

constexpr size_t kNationalDigits = 10;
constexpr size_t kInternationalDigits = 11;

}  // namespace

CNumberForm NumberForm(const char* number) {
  CNumberForm form;
  form.m_number = pdu::CleanNumber(number == nullptr ? "" : number);
  const size_t start = !form.m_number.empty() && form.m_number[0] == '+' ? 1 : 0;
  const std::string digits = form.m_number.substr(start);
  for (char c : digits) form.m_digits += c != '+';
  if (digits.find('+') != std::string::npos) {
    form.m_fault = NumberFault::PlusInside;
    return form;
  }
  if (digits.size() == kNationalDigits) {
    form.m_number.insert(start, "7");
    form.m_change = NumberChange::TenDigits;
  } else if (digits.size() == kInternationalDigits && digits.compare(0, 2, "89") == 0) {
    form.m_number[start] = '7';
    form.m_change = NumberChange::DomesticEight;
  }
  // The modem layer's own rule decides; the fault only says why it refuses.
  if (!pdu::CanAddress(form.m_number.c_str(), pdu::Encoding::Ucs2)) {
    form.m_fault = form.m_digits < kNationalDigits ? NumberFault::TooShort : NumberFault::TooLong;
  }
  return form;
}
