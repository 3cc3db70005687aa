// Joining the parts of long incoming messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/PartAssembler.h"

namespace {

struct Arrival {
  std::string sender;
  int reference;
  bool wide;
  int parts;
  int part;  // 0: no part of a long message
  std::u16string text;
  std::string whole;  // the 1251 text made whole by this arrival; "-" for none
};

pdu::DeliverMessage Message(const Arrival& arrival) {
  pdu::DeliverMessage message;
  message.originator.text = arrival.sender;
  message.text = arrival.text;
  if (arrival.part != 0) {
    message.concatenation = {arrival.reference, arrival.wide, arrival.parts, arrival.part};
  }
  message.serviceCentreTime.valid = true;
  message.serviceCentreTime.second = arrival.part;
  return message;
}

struct JoinCase {
  const char* name;
  std::vector<Arrival> arrivals;
};

const JoinCase kJoins[] = {
    {"SingleAtOnce", {{"+7900", 0, false, 0, 0, u"Стоп", "Стоп"}}},
    {"PartsInAnyOrder",
     {{"+7900", 9, false, 3, 3, u"C", "-"}, {"+7900", 9, false, 3, 1, u"A", "-"},
      {"+7900", 9, false, 3, 2, u"B", "ABC"}}},
    {"DuplicatePartIgnored",
     {{"+7900", 9, false, 2, 1, u"A", "-"}, {"+7900", 9, false, 2, 1, u"X", "-"},
      {"+7900", 9, false, 2, 2, u"B", "AB"}}},
    {"SendersKeptApart",
     {{"+7900", 9, false, 2, 1, u"A", "-"}, {"+7911", 9, false, 2, 2, u"y", "-"},
      {"+7911", 9, false, 2, 1, u"x", "xy"}, {"+7900", 9, false, 2, 2, u"B", "AB"}}},
    {"NarrowAndWideReferencesKeptApart",
     {{"+7900", 5, false, 2, 1, u"A", "-"}, {"+7900", 5, true, 2, 2, u"y", "-"},
      {"+7900", 5, false, 2, 2, u"B", "AB"}, {"+7900", 5, true, 2, 1, u"x", "xy"}}},
    {"SameReferenceAgainAfterAWholeMessage",
     {{"+7900", 9, false, 2, 1, u"A", "-"}, {"+7900", 9, false, 2, 2, u"B", "AB"},
      {"+7900", 9, false, 2, 2, u"D", "-"}, {"+7900", 9, false, 2, 1, u"C", "CD"}}},
    // A character beyond the BMP split between two UCS2 parts is one '?'.
    {"SurrogatePairAcrossParts",
     {{"+7900", 1, false, 2, 1, u"a\xD83D", "-"}, {"+7900", 1, false, 2, 2, u"\xDE00z", "a?z"}}},
};

class JoinTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinTest, GivesEachMessageWholeOnce) {
  pdu::CPartAssembler assembler;
  const std::vector<Arrival>& arrivals = GetParam().arrivals;
  for (std::size_t i = 0; i < arrivals.size(); ++i) {
    pdu::JoinedMessage whole;
    const bool made = assembler.Add(Message(arrivals[i]), whole);
    EXPECT_EQ(arrivals[i].whole != "-", made) << "arrival " << i;
    if (!made) continue;
    EXPECT_EQ(arrivals[i].whole, whole.text1251) << "arrival " << i;
    EXPECT_EQ(arrivals[i].sender, whole.sender) << "arrival " << i;
    EXPECT_EQ(arrivals[i].part == 0 ? 1 : arrivals[i].parts, whole.parts);
    EXPECT_EQ(arrivals[i].part == 0 ? arrivals[i].part : 1, whole.sent.second) << "part 1's time";
  }
  EXPECT_TRUE(assembler.Pending().empty());
}

INSTANTIATE_TEST_SUITE_P(Pdu, JoinTest, ::testing::ValuesIn(kJoins),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PartAssembler, TellsAndGivesWhatIsIncomplete) {
  pdu::CPartAssembler assembler;
  pdu::JoinedMessage whole;
  EXPECT_FALSE(assembler.Add(Message({"+7900", 7, false, 4, 3, u"C", "-"}), whole));
  EXPECT_FALSE(assembler.Add(Message({"+7900", 7, false, 4, 1, u"A", "-"}), whole));
  EXPECT_FALSE(assembler.Add(Message({"Bank", 300, true, 2, 2, u"b", "-"}), whole));
  const std::vector<pdu::IncompleteMessage> pending = assembler.Pending();
  ASSERT_EQ(2u, pending.size());
  EXPECT_EQ("+7900", pending[0].sender);
  EXPECT_EQ(7, pending[0].reference);
  EXPECT_EQ(4, pending[0].parts);
  EXPECT_EQ((std::vector<int>{1, 3}), pending[0].received);
  EXPECT_EQ("Bank", pending[1].sender);
  EXPECT_EQ(300, pending[1].reference);

  const std::vector<pdu::JoinedMessage> taken = assembler.TakeIncomplete();
  ASSERT_EQ(2u, taken.size());
  EXPECT_EQ("AC", taken[0].text1251);
  EXPECT_EQ((std::vector<int>{2, 4}), taken[0].missing);
  EXPECT_EQ(1, taken[0].sent.second);
  EXPECT_EQ("b", taken[1].text1251);
  EXPECT_EQ((std::vector<int>{1}), taken[1].missing);
  EXPECT_TRUE(assembler.Pending().empty());
}

}  // namespace
