// The lines that announce stored and incoming messages in PDU mode.
#include <gtest/gtest.h>

#include <string>

#include "modem/SmsLines.h"

namespace {

using reply::SmsLineKind;

struct LineCase {
  std::string line;
  SmsLineKind kind;
  int index;
  int stat;
  std::string alpha;
  int length;
  std::string memory;
};

TEST(ReadSmsLine, ReadsEveryFormIntoItsFields) {
  const LineCase cases[] = {
      {"+CMGL: 1,0,,23", SmsLineKind::Listed, 1, 0, "", 23, ""},
      {"+CMGL: 0,1,\"Mom, home\",156", SmsLineKind::Listed, 0, 1, "Mom, home", 156, ""},
      {"+CMGL:12,3,,25", SmsLineKind::Listed, 12, 3, "", 25, ""},
      {"  +CMGL: 4 , 2 , , 19  ", SmsLineKind::Listed, 4, 2, "", 19, ""},
      {"+CMGL: 7,1,23", SmsLineKind::Listed, 7, 1, "", 23, ""},  // alpha left out with its comma
      {"+CMGR: 0,,26", SmsLineKind::Read, -1, 0, "", 26, ""},
      {"+CMGR: 1,\"\",26", SmsLineKind::Read, -1, 1, "", 26, ""},
      {"+CMGR: 1,26", SmsLineKind::Read, -1, 1, "", 26, ""},
      {"+CDS: 25", SmsLineKind::Report, -1, -1, "", 25, ""},
      {"+CDS:6", SmsLineKind::Report, -1, -1, "", 6, ""},
      {"+CMT: ,24", SmsLineKind::Message, -1, -1, "", 24, ""},
      {"+CMT: \"Bank\",24", SmsLineKind::Message, -1, -1, "Bank", 24, ""},
      {"+CMT: 24", SmsLineKind::Message, -1, -1, "", 24, ""},
      {"+CDSI: \"SR\",3", SmsLineKind::ReportStored, 3, -1, "", 0, "SR"},
      {"+CDSI: \"SM\",0", SmsLineKind::ReportStored, 0, -1, "", 0, "SM"},
      {"+CMTI: \"SM\",12", SmsLineKind::MessageStored, 12, -1, "", 0, "SM"},
      {"+CMTI: \"ME\", 1", SmsLineKind::MessageStored, 1, -1, "", 0, "ME"},
      {"+CMTI: SM,5", SmsLineKind::MessageStored, 5, -1, "", 0, "SM"},
      // Other lines, text-mode forms and broken fields are none of these.
      {"", SmsLineKind::None, -1, -1, "", 0, ""},
      {"OK", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGS: 5", SmsLineKind::None, -1, -1, "", 0, ""},
      {"07919799000001F0062A", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,\"REC UNREAD\",\"+79001122334\",,\"24/05/20,12:00:00+12\"", SmsLineKind::None, -1,
       -1, "", 0, ""},
      {"+CDS: 6,42,\"+79001122334\",145,\"24/05/20,12:00:00+12\",\"24/05/20,12:00:50+12\",0",
       SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMT: \"+79001122334\",,\"24/05/20,12:00:00+12\"", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,4,,23", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,0,,0", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,0,,256", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,0,,", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: -1,0,,23", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,0,\"open,23", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1,0,\"a\"b,23", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGL: 1234567890,0,,23", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMGR: 0,,26,1", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CDS: ", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMTI: \"SM\"", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMTI: \"\",3", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+CMTI: \"SM\",x", SmsLineKind::None, -1, -1, "", 0, ""},
      {"+cmti: \"SM\",3", SmsLineKind::None, -1, -1, "", 0, ""},
  };
  for (const LineCase& c : cases) {
    const reply::SmsLine line = reply::ReadSmsLine(c.line);
    EXPECT_EQ(c.kind, line.kind) << c.line;
    EXPECT_EQ(c.index, line.index) << c.line;
    EXPECT_EQ(c.stat, line.stat) << c.line;
    EXPECT_EQ(c.alpha, line.alpha) << c.line;
    EXPECT_EQ(c.length, line.length) << c.line;
    EXPECT_EQ(c.memory, line.memory) << c.line;
    const bool follows = c.kind == SmsLineKind::Listed || c.kind == SmsLineKind::Read ||
                         c.kind == SmsLineKind::Report || c.kind == SmsLineKind::Message;
    EXPECT_EQ(follows, reply::PduFollows(line)) << c.line;
  }
}

}  // namespace
