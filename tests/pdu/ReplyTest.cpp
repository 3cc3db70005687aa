// The modem's replies judged as lines: zero bytes, the prompt, the final
// result codes, and the causes of a refusal. Replies are as modems send them,
// echo and unsolicited lines included.
#include <gtest/gtest.h>

#include <string>

#include "modem/Reply.h"

namespace {

using reply::Final;

int Length(const std::string& text) { return static_cast<int>(text.size()); }

TEST(DropZeroBytes, KeepsEveryOtherByteInOrder) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {std::string("\0\r\nOK\r\n", 7), "\r\nOK\r\n"},
      {std::string("\r\nO\0K\r\n\0", 8), "\r\nOK\r\n"},
      {std::string("\0\0\0", 3), ""},
      {"", ""},
      {"\r\n> ", "\r\n> "},
  };
  for (const Case& c : cases) {
    std::string data = c.in;
    const int kept = reply::DropZeroBytes(&data[0], Length(data));
    EXPECT_EQ(c.out, data.substr(0, static_cast<size_t>(kept)));
  }
}

TEST(Contains, SearchesByLengthNotToTheFirstZero) {
  const std::string data("\0\r\nERROR\r\n", 10);
  EXPECT_TRUE(reply::Contains(data.data(), Length(data), "ERROR"));
  EXPECT_FALSE(reply::Contains(data.data(), 6, "ERROR")) << "only the bytes given";
  EXPECT_FALSE(reply::Contains("", 0, "ERROR"));
}

TEST(Prompt, IsAGreaterThanSignStartingALineFollowedByABlankOrALineEnd) {
  struct Case {
    const char* data;
    bool prompt;
  };
  const Case cases[] = {
      {"\r\n> ", true},
      {"\r\n>\r\n", true},  // LTE modules leave out the blank
      {"\n>\n", true},
      {"> ", true},  // the wait began at the start of a line
      {"at+cmgs=19\r\r\n> ", true},
      {"\r\n^RSSI:17\r\n\r\n> ", true},
      {"\r\n>", false},  // not yet: the next byte decides
      {"\r\n>0011", false},
      {"at+cmgs=19>\r\n", false},  // inside a line
      {"\r\n^MODE:5,4 > \r\n", false},
      {"0011000B91>", false},
      {"\r\nERROR\r\n", false},
      {"", false},
  };
  for (const Case& c : cases) {
    const std::string data = c.data;
    EXPECT_EQ(c.prompt, reply::HasLineWord(data.data(), Length(data), ">")) << c.data;
  }
}

TEST(ReadFinalResult, FindsTheLineThatEndsTheCommand) {
  struct Case {
    const char* data;
    Final kind;
    const char* detail;
  };
  const Case cases[] = {
      {"\r\nOK\r\n", Final::Ok, ""},
      {"at\r\r\nOK\r\n", Final::Ok, ""},
      {"\r\n+CMGS: 0\r\n\r\n+CMTI: \"SM\",3\r\n\r\nOK\r\n", Final::Ok, ""},
      {"0011000B91\r\n^RSSI:17\r\n\r\n+CMGS: 12\r\n\r\nOK\r\n", Final::Ok, ""},
      {"\r\nERROR\r\n", Final::Error, ""},
      {"\r\n+CMS ERROR: 38\r\n", Final::CmsError, "38"},
      {"\r\n+CMS ERROR:500\r\n", Final::CmsError, "500"},
      {"\r\n+CME ERROR: SIM PIN required\r\n", Final::CmeError, "SIM PIN required"},
      {"\r\nRING\r\n\r\n+CME ERROR: 11 \r", Final::CmeError, "11"},
      {"\r\nERROR\r\n\r\nOK\r\n", Final::Ok, ""},  // OK anywhere counts as success
      {"\r\n+CMS ERROR: 311\r\n\r\nERROR\r\n", Final::CmsError, "311"},  // the first error
      {"\r\nOK", Final::None, ""},  // the line has not ended
      {"\r\n+CMS ERROR: 3", Final::None, ""},
      {"\r\nOKAY\r\n", Final::None, ""},
      {"\r\n+CMGS: 5\r\n", Final::None, ""},
      {"\r\nNO CARRIER ERROR\r\n", Final::None, ""},
      {"\r\n> ", Final::None, ""},
      {"", Final::None, ""},
  };
  for (const Case& c : cases) {
    const std::string data = c.data;
    const reply::FinalResult result = reply::ReadFinalResult(data.data(), Length(data));
    EXPECT_EQ(c.kind, result.kind) << c.data;
    EXPECT_EQ(c.detail, result.detail) << c.data;
  }
}

TEST(RefusalCause, NamesTheCodeInWordsAndKeepsAVerboseText) {
  struct Case {
    Final kind;
    const char* detail;
    const char* cause;
  };
  const Case cases[] = {
      {Final::CmsError, "311", "+CMS ERROR: 311 (SIM PIN required)"},
      {Final::CmeError, "11", "+CME ERROR: 11 (SIM PIN required)"},
      {Final::CmeError, "SIM PIN required", "+CME ERROR: SIM PIN required"},
      {Final::CmsError, "38", "+CMS ERROR: 38 (network out of order)"},
      {Final::CmsError, "42", "+CMS ERROR: 42 (congestion)"},
      {Final::CmsError, "301", "+CMS ERROR: 301 (SMS service of the modem reserved)"},
      {Final::CmsError, "302", "+CMS ERROR: 302 (operation not allowed)"},
      {Final::CmsError, "304", "+CMS ERROR: 304 (invalid PDU mode parameter)"},
      {Final::CmsError, "310", "+CMS ERROR: 310 (SIM not inserted)"},
      {Final::CmsError, "313", "+CMS ERROR: 313 (SIM failure)"},
      {Final::CmsError, "322", "+CMS ERROR: 322 (memory full)"},
      {Final::CmsError, "330", "+CMS ERROR: 330 (service centre address unknown)"},
      {Final::CmsError, "331", "+CMS ERROR: 331 (no network service)"},
      {Final::CmsError, "332", "+CMS ERROR: 332 (network timeout)"},
      {Final::CmsError, "500", "+CMS ERROR: 500 (unknown error)"},
      {Final::CmeError, "10", "+CME ERROR: 10 (SIM not inserted)"},
      {Final::CmeError, "12", "+CME ERROR: 12 (SIM PUK required)"},
      {Final::CmeError, "13", "+CME ERROR: 13 (SIM failure)"},
      {Final::CmeError, "30", "+CME ERROR: 30 (no network service)"},
      {Final::CmeError, "100", "+CME ERROR: 100 (unknown error)"},
      // Codes without a name of their own take the name of their range.
      {Final::CmsError, "17", "+CMS ERROR: 17 (refused by the network)"},
      {Final::CmsError, "200", "+CMS ERROR: 200 (refused by the service centre)"},
      {Final::CmsError, "530", "+CMS ERROR: 530 (error of the modem's maker)"},
      {Final::CmsError, "400", "+CMS ERROR: 400 (unknown cause)"},
      {Final::CmeError, "311", "+CME ERROR: 311 (unknown cause)"},
      {Final::CmsError, "1234567890", "+CMS ERROR: 1234567890"},  // no int: kept as text
      {Final::CmsError, "", "+CMS ERROR:"},
      {Final::Error, "", ""},
      {Final::Ok, "", ""},
      {Final::None, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.cause, reply::RefusalCause({c.kind, c.detail})) << c.detail;
  }
}

}  // namespace
