#pragma once
// Comparison of PDU texts and commands that names the first differing index.
#include <gtest/gtest.h>

#include <string>

namespace pdu_test {

inline ::testing::AssertionResult SameText(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  return ::testing::AssertionFailure()
         << "first difference at index " << i << " (length " << actual.size() << ", expected "
         << expected.size() << ")\n  actual:   " << actual << "\n  expected: " << expected;
}

inline std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

}  // namespace pdu_test
