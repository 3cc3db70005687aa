// The modem's replies judged as lines: zero bytes, the prompt, the final
// result codes, and the causes of a refusal. Replies are as modems send them,
// echo and unsolicited lines included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/AnswerReader.h"
#include "modem/Reply.h"
#include "modem/ReplyLines.h"

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
      {"\r> ", true},  // CR-only line ends
      {"\r\n>\r", true},
      {"\r\n>", false},  // not yet: the next byte decides
      {"\r\n>0011", false},
      {"at+cmgs=19>\r\n", false},  // inside a line
      {"\r\n^MODE:5,4 > \r\n", false},
      {"0011000B91>", false},
      {"\r\nERROR\r\n", false},
      {"", false},
  };
  reply::AnswerRule rule;
  rule.prompt = true;
  rule.echo = "at+cmgs=19";
  for (const Case& c : cases) {
    EXPECT_EQ(c.prompt, reply::ReadAnswer(rule, c.data).prompt) << c.data;
  }
}

TEST(ReadFinalResult, TheFirstResultCodeLineEndsTheCommand) {
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
      {"\r\nERROR\r\n\r\nOK\r\n", Final::Error, ""},  // the next line is no longer its answer
      {"\r\n+CMS ERROR: 311\r\n\r\nERROR\r\n", Final::CmsError, "311"},
      {"\nOK\n", Final::Ok, ""},  // LF-only line ends
      {"\rOK\r", Final::Ok, ""},  // CR-only line ends
      {"\r\nOK", Final::None, ""},  // the line has not ended
      {"\r\n+CMS ERROR: 3", Final::None, ""},
      {"\r\nOKAY\r\n", Final::None, ""},
      {"\r\n+CMGS: 5\r\n", Final::None, ""},
      {"\r\nNO CARRIER ERROR\r\n", Final::None, ""},
      {"\r\n> ", Final::None, ""},
      {"", Final::None, ""},
  };
  for (const Case& c : cases) {
    const reply::FinalResult result = reply::ReadAnswer(reply::AnswerRule(), c.data).final;
    EXPECT_EQ(c.kind, result.kind) << c.data;
    EXPECT_EQ(c.detail, result.detail) << c.data;
  }
}

// The answer to one command among what a modem sends: echo, notices before,
// inside and after it, the PDU line of a report shown at once.
TEST(ReadAnswer, KeepsTheLinesThatAnswerTheCommandAndNothingElse) {
  struct Case {
    const char* name;
    std::string data;
    Final final;
    std::vector<std::string> lines;
  };
  std::string flood;
  while (flood.size() < 10 * 1024) flood += "\r\n^DSFLOWRPT:0000001A,00000000,00000000\r\n^RSSI:17\r\n";
  const Case cases[] = {
      {"echo", "0011000B91\r\r\n+CMGS: 12\r\n\r\nOK\r\n", Final::Ok, {"+CMGS: 12"}},
      {"echo on the prompt's line", "> 0011000B91\x1A\r\n+CMGS: 12\r\nOK\r\n", Final::Ok, {"+CMGS: 12"}},
      {"notices before", "\r\n^RSSI:17\r\n+CREG: 1\r\n+CMGS:5\r\nOK\r\n", Final::Ok, {"+CMGS:5"}},
      {"notices inside", "\r\n+CMGS: 7\r\n\r\n+CMTI: \"SM\",3\r\nRING\r\n\r\nOK\r\n", Final::Ok, {"+CMGS: 7"}},
      {"notices after", "\r\n+CMGS: 8\r\n\r\nOK\r\n^BOOT:1\r\n", Final::Ok, {"+CMGS: 8"}},
      {"report shown at once", "\r\n+CDS: 24\r\n0691000000000006A00B912143658709F1\r\n+CMGS: 9\r\nOK\r\n",
       Final::Ok, {"+CMGS: 9"}},
      {"no answer yet", "\r\n+CMGS: 9\r\n", Final::None, {"+CMGS: 9"}},
      {"refused", "\r\n+CMS ERROR: 41\r\n", Final::CmsError, {}},
      {"zero bytes", std::string("\0\r\n+CMGS:\0 3\r\n\0OK\r\n", 18), Final::Ok, {"+CMGS: 3"}},
      {"CR only", "\r+CMGS: 4\rOK\r", Final::Ok, {"+CMGS: 4"}},
      {"LF only", "\n+CMGS: 4\nOK\n", Final::Ok, {"+CMGS: 4"}},
      {"10 KiB of notices", flood + "\r\n+CMGS: 6\r\n\r\nOK\r\n", Final::Ok, {"+CMGS: 6"}},
      {"a bare line is no answer here", "\r\nhello\r\nOK\r\n", Final::Ok, {}},
  };
  reply::AnswerRule rule;
  rule.prefixes = {"+CMGS:"};
  rule.echo = "0011000B91";
  for (const Case& c : cases) {
    const reply::Answer answer = reply::ReadAnswer(rule, c.data);
    EXPECT_EQ(c.final, answer.final.kind) << c.name;
    EXPECT_EQ(c.lines, answer.lines) << c.name;
  }
  // The prompt behind 10 KiB of notices, and a bare answer (the maker's name).
  rule = reply::AnswerRule();
  rule.prompt = true;
  EXPECT_TRUE(reply::ReadAnswer(rule, flood + "\r\n> ").prompt);
  rule = reply::AnswerRule();
  rule.bare = true;
  rule.echo = "AT+CGMI";
  EXPECT_EQ(reply::ReadAnswer(rule, "AT+CGMI\r\r\n^RSSI:3\r\nVarnek Labs\r\n\r\nOK\r\n").lines,
            std::vector<std::string>{"Varnek Labs"});
}

TEST(AnswerReader, HandsOverUnsolicitedLinesWithTheirPdu) {
  reply::CAnswerReader reader(reply::AnswerRule{});
  for (const char* line : {"+CDS: 24", "0691000000000006A0", "^RSSI:17", "+CMT: ,22"}) {
    reader.TakeLine(line);
  }
  std::vector<reply::Unsolicited> taken = reader.TakeUnsolicited();
  ASSERT_EQ(taken.size(), 2u) << "the +CMT waits for its PDU";
  EXPECT_EQ(taken[0].line, "+CDS: 24");
  EXPECT_EQ(taken[0].pdu, "0691000000000006A0");
  EXPECT_EQ(taken[1].line, "^RSSI:17");
  reader.TakeLine("0791");
  taken = reader.TakeUnsolicited();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].pdu, "0791");
  EXPECT_FALSE(reader.Result().Ended());
}

TEST(LineSplitter, GivesALineWithoutEndOnceItIsTooLongToBeAReply) {
  reply::CLineSplitter lines;
  const std::string garbage(reply::CLineSplitter::kMaxLine + 10, '\xF0');
  lines.Feed(garbage.data(), garbage.size());
  std::string line;
  ASSERT_TRUE(lines.Next(line));
  EXPECT_EQ(line.size(), reply::CLineSplitter::kMaxLine);
  EXPECT_EQ(lines.Unfinished().size(), 10u);
}

TEST(RefusalCause, NamesTheCodeInWordsKeepsAVerboseTextAndTellsWhoseFault) {
  using Kind = reply::RefusalKind;
  struct Case {
    Final kind;
    const char* detail;
    const char* cause;
    reply::RefusalKind fault;
  };
  const Case cases[] = {
      {Final::CmsError, "311", "+CMS ERROR: 311 (SIM PIN required)", Kind::Modem},
      {Final::CmeError, "11", "+CME ERROR: 11 (SIM PIN required)", Kind::Modem},
      {Final::CmeError, "SIM PIN required", "+CME ERROR: SIM PIN required", Kind::Modem},
      {Final::CmsError, "38", "+CMS ERROR: 38 (network out of order)", Kind::Transient},
      {Final::CmsError, "42", "+CMS ERROR: 42 (congestion)", Kind::Transient},
      {Final::CmsError, "1", "+CMS ERROR: 1 (unassigned number)", Kind::Number},
      {Final::CmsError, "41", "+CMS ERROR: 41 (temporary failure)", Kind::Transient},
      {Final::CmsError, "314", "+CMS ERROR: 314 (SIM busy)", Kind::Transient},
      {Final::CmeError, "SIM busy", "+CME ERROR: SIM busy", Kind::Transient},
      {Final::CmeError, "sim not inserted", "+CME ERROR: sim not inserted", Kind::Modem},
      {Final::CmsError, "196", "+CMS ERROR: 196 (destination barred)", Kind::Number},
      {Final::CmsError, "301", "+CMS ERROR: 301 (SMS service of the modem reserved)", Kind::Modem},
      {Final::CmsError, "302", "+CMS ERROR: 302 (operation not allowed)", Kind::Modem},
      {Final::CmsError, "304", "+CMS ERROR: 304 (invalid PDU mode parameter)", Kind::Unplaced},
      {Final::CmsError, "310", "+CMS ERROR: 310 (SIM not inserted)", Kind::Modem},
      {Final::CmsError, "313", "+CMS ERROR: 313 (SIM failure)", Kind::Modem},
      {Final::CmsError, "322", "+CMS ERROR: 322 (memory full)", Kind::Modem},
      {Final::CmsError, "330", "+CMS ERROR: 330 (service centre address unknown)", Kind::Modem},
      {Final::CmsError, "331", "+CMS ERROR: 331 (no network service)", Kind::Modem},
      {Final::CmsError, "332", "+CMS ERROR: 332 (network timeout)", Kind::Transient},
      {Final::CmsError, "500", "+CMS ERROR: 500 (unknown error)", Kind::Transient},
      {Final::CmeError, "10", "+CME ERROR: 10 (SIM not inserted)", Kind::Modem},
      {Final::CmeError, "12", "+CME ERROR: 12 (SIM PUK required)", Kind::Modem},
      {Final::CmeError, "13", "+CME ERROR: 13 (SIM failure)", Kind::Modem},
      {Final::CmeError, "30", "+CME ERROR: 30 (no network service)", Kind::Modem},
      {Final::CmeError, "100", "+CME ERROR: 100 (unknown error)", Kind::Transient},
      // Codes without a name of their own take the name of their range.
      {Final::CmsError, "17", "+CMS ERROR: 17 (refused by the network)", Kind::Unplaced},
      {Final::CmsError, "200", "+CMS ERROR: 200 (refused by the service centre)", Kind::Unplaced},
      {Final::CmsError, "530", "+CMS ERROR: 530 (error of the modem's maker)", Kind::Unplaced},
      {Final::CmsError, "400", "+CMS ERROR: 400 (unknown cause)", Kind::Unplaced},
      {Final::CmeError, "311", "+CME ERROR: 311 (unknown cause)", Kind::Unplaced},
      {Final::CmsError, "1234567890", "+CMS ERROR: 1234567890", Kind::Unplaced},  // no int: kept as text
      {Final::CmsError, "", "+CMS ERROR:", Kind::Unplaced},
      {Final::Error, "", "", Kind::Unplaced},
      {Final::Ok, "", "", Kind::Unplaced},
      {Final::None, "", "", Kind::Unplaced},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.cause, reply::RefusalCause({c.kind, c.detail})) << c.detail;
    EXPECT_EQ(c.fault, reply::ClassifyRefusal({c.kind, c.detail})) << c.detail;
  }
}

}  // namespace
