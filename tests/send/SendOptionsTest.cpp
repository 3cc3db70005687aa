// The command line of varnek-send: what each option sets and what is refused.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ListItem.h"
#include "platform/CodePage.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/SendHelp.h"
#include "tools/varnek-send/SendOptions.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> args = {"varnek-send"};
  std::istringstream words(line);
  std::string word;
  while (words >> word) args.push_back(word);
  return args;
}

constexpr char kMinimal[] = " --number 79123456701 --text hello";

struct AcceptedCase {
  const char* args;
  std::function<bool(const CSendOptions&)> check;
};

TEST(SendOptions, AcceptedLinesSetWhatTheyName) {
  using S = CListSource;
  const std::string minimal = kMinimal;
  const AcceptedCase cases[] = {
      {"--list a.txt --text hi",
       [](const CSendOptions& o) {
         return o.m_sources == std::vector<S>{{S::List, "a.txt"}} && o.m_text == std::string("hi") &&
                o.m_ports.empty() && !o.m_baudRate && !o.m_check && !o.m_minPause &&
                o.m_from == 1 && !o.m_encoding && o.m_devices.empty() && !o.m_piecePause &&
                o.m_portRetries == 0 && !o.m_waitForPort && !o.m_dryRun && !o.m_quiet &&
                !o.m_probe && !o.m_listPorts && !o.m_markers && !o.m_resendUnconfirmed;
       }},
      {"--list a --mask 7912345**** --number 123 --list b --text-file m.txt",
       [](const CSendOptions& o) {
         return o.m_sources == std::vector<S>{{S::List, "a"}, {S::Mask, "7912345****"},
                                              {S::Number, "123"}, {S::List, "b"}} &&
                o.m_textFile == "m.txt" && !o.m_text;
       }},
      {"--port 3", [](const CSendOptions& o) { return o.m_ports == std::vector<int>{3}; }},
      {"--port=12", [](const CSendOptions& o) { return o.m_ports == std::vector<int>{12}; }},
      {"--port 4 --port 3", [](const CSendOptions& o) { return o.m_ports == std::vector<int>{4, 3}; }},
      {"--device /dev/ttyUSB0",
       [](const CSendOptions& o) { return o.m_devices == std::vector<std::string>{"/dev/ttyUSB0"}; }},
      {"--device /dev/ttyUSB1 --device=/dev/ttyUSB0",
       [](const CSendOptions& o) {
         return o.m_devices == std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB0"};
       }},
      {"--baud 0", [](const CSendOptions& o) { return o.m_baudRate == 0; }},
      {"--baud 115200", [](const CSendOptions& o) { return o.m_baudRate == 115200; }},
      {"--check", [](const CSendOptions& o) { return o.m_check == true; }},
      {"--check --no-check", [](const CSendOptions& o) { return o.m_check == false; }},
      {"--pause 7", [](const CSendOptions& o) { return o.m_minPause == 7 && o.m_maxPause == 7; }},
      {"--pause 0:0", [](const CSendOptions& o) { return o.m_minPause == 0 && o.m_maxPause == 0; }},
      {"--pause 2:30", [](const CSendOptions& o) { return o.m_minPause == 2 && o.m_maxPause == 30; }},
      {"--from 4", [](const CSendOptions& o) { return o.m_from == 4; }},
      {"--from 1", [](const CSendOptions& o) { return o.m_from == 1; }},
      {"--piece-pause 0", [](const CSendOptions& o) { return o.m_piecePause == 0; }},
      {"--piece-pause=10000", [](const CSendOptions& o) { return o.m_piecePause == 10000; }},
      {"--port-retries 3", [](const CSendOptions& o) { return o.m_portRetries == 3; }},
      {"--wait-for-port --dry-run --quiet",
       [](const CSendOptions& o) { return o.m_waitForPort && o.m_dryRun && o.m_quiet; }},
      {"--encoding utf-8", [](const CSendOptions& o) { return o.m_encoding == TextEncoding::Utf8; }},
      {"--encoding utf-8 --encoding cp1251",
       [](const CSendOptions& o) { return o.m_encoding == TextEncoding::Cp1251; }},
      {"--mask 7*", [](const CSendOptions& o) { return o.m_sources.front() == S{S::Mask, "7*"}; }},
      {"--left rest.txt --lang ru", [](const CSendOptions& o) { return o.m_left == "rest.txt"; }},
      {"--baud 4000000 --pause 0:86400",
       [](const CSendOptions& o) { return o.m_baudRate == 4000000 && o.m_maxPause == 86400; }},
      {"--reports --smsc +79168999100 --confirm-wait 2m --wait-reports 1h",
       [](const CSendOptions& o) {
         return o.m_reports == true && o.m_smsc == std::string("+79168999100") &&
                o.m_confirmWait == 120 && o.m_waitReports == 3600;
       }},
      {"--reports --no-reports", [](const CSendOptions& o) { return o.m_reports == false; }},
      {"--wait-reports 90s", [](const CSendOptions& o) { return o.m_waitReports == 90; }},
      {"--markers /srv/share/markers --resend-unconfirmed",
       [](const CSendOptions& o) {
         return o.m_markers == std::string("/srv/share/markers") && o.m_resendUnconfirmed;
       }},
  };
  for (const AcceptedCase& c : cases) {
    std::string line = c.args;
    if (line.find("--text") == std::string::npos) line += minimal;
    CSendOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse(Split(line), error)) << line << ": " << error;
    EXPECT_TRUE(c.check(options)) << line;
  }
}

TEST(SendOptions, TasksThatSendNothingNeedNoNumbers) {
  const char* lines[] = {"--probe", "--port 3 --baud 115200 --probe", "--device /dev/ttyUSB0 --list-ports",
                         "--collect --wait-reports 10m", "--inbox"};
  for (const char* line : lines) {
    CSendOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse(Split(line), error)) << line << ": " << error;
    EXPECT_TRUE(options.ModemTask()) << line;
  }
}

TEST(SendOptions, HelpNeedsNothingElse) {
  CSendOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse(Split("--help"), error)) << error;
  EXPECT_TRUE(options.m_help);
  const std::string help = HelpText();
  EXPECT_NE(help.find("--text-file"), std::string::npos);
  // Every state word of the table, explained.
  for (int state = 0; state < kDeliveryStateCount; ++state) {
    const std::string word =
        platform::Cp1251ToUtf8(DeliveryStateText(static_cast<DeliveryState>(state)));
    EXPECT_NE(help.find("\n  " + word + " "), std::string::npos) << word;
  }
}

TEST(SendOptions, TextKeepsBlanksAndMayBeEmpty) {
  // The empty message is refused later, with the message's own error.
  CSendOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse({"varnek-send", "--number", "1", "--text", "  a b  "}, error));
  EXPECT_EQ(*options.m_text, "  a b  ");
  CSendOptions empty;
  ASSERT_TRUE(empty.Parse({"varnek-send", "--number", "1", "--text", ""}, error));
  EXPECT_EQ(*empty.m_text, "");
}

struct RefusedCase {
  const char* args;
  const char* errorPart;  // the error names what is wrong
};

TEST(SendOptions, BadLinesAreRefusedWithAReason) {
  const RefusedCase cases[] = {
      {"--bogus" , "unknown option --bogus"},
      {"stray", "unexpected argument \"stray\""},
      {"--number 1 --text hi --port", "--port needs a value"},
      {"--port 0", "bad value for --port: \"0\""},
      {"--port -3", "bad value for --port"},
      {"--port 3x", "bad value for --port"},
      {"--port 99999999999", "bad value for --port"},
      {"--port 3 --port 4 --port 3", "--port 3 is given twice"},
      {"--device /dev/ttyUSB0 --device /dev/ttyUSB0", "--device /dev/ttyUSB0 is given twice"},
      {"--baud fast", "bad value for --baud"},
      {"--baud 4000001", "a speed in bit/s up to 4000000"},
      {"--pause 1:86401", "in seconds up to 86400"},
      {"--lang de", "bad value for --lang: \"de\" (expected ru or en)"},
      {"--dry-run --left rest.txt", "--dry-run writes nothing"},
      {"--pause 5:2", "MAX not below MIN"},
      {"--pause 1:", "bad value for --pause"},
      {"--pause :3", "bad value for --pause"},
      {"--pause -1", "bad value for --pause"},
      {"--pause 1:2:3", "bad value for --pause"},
      {"--from -1", "bad value for --from"},
      {"--from 0", "bad value for --from: \"0\" (expected a number's place in the list, from 1)"},
      {"--piece-pause 10001", "milliseconds from 0 to 10000"},
      {"--piece-pause -1", "bad value for --piece-pause"},
      {"--port-retries 0", "a count from 1"},
      {"--dry-run=1", "--dry-run takes no value"},
      {"--encoding latin1", "cp1251 or utf-8"},
      {"--mask 7912345", "1 to 4 '*'"},
      {"--mask 7*****", "1 to 4 '*'"},
      {"--number abc", "bad value for --number"},
      {"--check=1", "--check takes no value"},
      {"--markers=", "bad value for --markers: \"\" (expected a folder)"},
      {"--smsc 12", "+ and 3 to 20 digits"},
      {"--smsc +7916a", "bad value for --smsc"},
      {"--confirm-wait 0", "seconds from 1 to 600"},
      {"--confirm-wait 11m", "bad value for --confirm-wait"},
      {"--wait-reports 169h", "up to 168h"},
      {"--wait-reports 5d", "bad value for --wait-reports"},
      {"--no-reports --wait-reports 10", "takes no --no-reports"},
      {"--text a --text b", "give the message once"},
      {"--text a --text-file b", "give the message once"},
  };
  const std::string minimal = kMinimal;
  for (const RefusedCase& c : cases) {
    std::string line = std::string(c.args);
    const bool hasText = line.find("--text") != std::string::npos;
    if (!hasText) line += minimal;
    CSendOptions options;
    std::string error;
    EXPECT_FALSE(options.Parse(Split(line), error)) << line;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << line << " gave: " << error;
  }
}

struct LanguageCase {
  const char* args;
  bool russian;  // else the user's language
};

TEST(SendOptions, TheLastValidLangChoosesTheLanguageBeforeTheParse) {
  const LanguageCase cases[] = {
      {"--lang ru", true},
      {"--lang=ru --number 1", true},
      {"--lang en --lang ru", true},
      {"--lang de", false},
      {"--text --lang", false},  // the message "--lang"
      {"--text --lang --lang ru", true},
      {"--lang", false},
  };
  for (const LanguageCase& c : cases) {
    const Language expected = c.russian ? Language::Russian : UserLanguage();
    EXPECT_EQ(CSendOptions::LanguageOf(Split(c.args)), expected) << c.args;
  }
  EXPECT_EQ(CSendOptions::LanguageOf(Split("--lang en")), Language::English);
}

// One table of messages: the same error in either language, its arguments
// in place, and the forms of Russian numbers.
TEST(SendOptions, ErrorsSpeakTheLanguageOfTheRun) {
  struct Case {
    Language language;
    const char* args;
    const char* error;  // UTF-8
  };
  const Case cases[] = {
      {Language::English, "--port x", "bad value for --port: \"x\" (expected a port number from 1)"},
      {Language::Russian, "--port x",
       "\xD0\xBD\xD0\xB5\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBD\xD0\xBE\xD0\xB5 "  // неверное
       "\xD0\xB7\xD0\xBD\xD0\xB0\xD1\x87\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 --port: \"x\""},  // значение
      {Language::Russian, "--port {1}{2}", "--port: \"{1}{2}\""},
  };
  for (const Case& c : cases) {
    SetLanguage(c.language);
    CSendOptions options;
    std::string error;
    EXPECT_FALSE(options.Parse(Split(c.args), error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  struct CountCase {
    size_t count;
    const char* form;  // of "{n} part|{n} parts", UTF-8
  };
  const CountCase russian[] = {
      {1, "1 \xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD1\x8C"},               // часть
      {3, "3 \xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD0\xB8"},               // части
      {11, "11 \xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD0\xB5\xD0\xB9"},   // частей
      {21, "21 \xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD1\x8C"},
      {112, "112 \xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD0\xB5\xD0\xB9"},
  };
  for (const CountCase& c : russian) EXPECT_EQ(SayCount(Msg::Parts, c.count), c.form);
  SetLanguage(Language::English);
  EXPECT_EQ(SayCount(Msg::Parts, 1), "1 part");
  EXPECT_EQ(SayCount(Msg::Parts, 0), "0 parts");
}

struct ModemPortsCase {
  std::vector<int> ports;
  std::vector<std::string> devices;
  std::vector<CModemPort> modems;
};

TEST(SendOptions, EveryModemGetsAComNumberOfItsOwn) {
  const ModemPortsCase cases[] = {
      {{}, {}, {}},
      {{3}, {}, {{3, ""}}},
      {{}, {"a"}, {{99, "a"}}},
      {{5}, {"a"}, {{5, "a"}}},
      {{3, 4}, {}, {{3, ""}, {4, ""}}},
      {{}, {"a", "b", "c"}, {{99, "a"}, {100, "b"}, {101, "c"}}},
      {{7}, {"a", "b"}, {{7, "a"}, {99, "b"}}},
      {{7, 8}, {"a"}, {{7, "a"}, {8, ""}}},
      {{100}, {"a", "b", "c"}, {{100, "a"}, {99, "b"}, {101, "c"}}},
  };
  for (const ModemPortsCase& c : cases) {
    EXPECT_EQ(ModemPorts(c.ports, c.devices), c.modems)
        << c.ports.size() << " ports, " << c.devices.size() << " devices";
  }
}

TEST(SendOptions, ADeliveryNeedsNumbersAndMessageAModemTaskNeither) {
  const RefusedCase cases[] = {
      {"--text hello", "no numbers"},
      {"--list a.txt", "no message"},
      {"", "no numbers"},
      {"--probe --list-ports", "give one of --probe, --list-ports, --collect and --inbox"},
      {"--collect --inbox", "give one of"},
      {"--collect --number 1", "--collect sends nothing"},
      {"--inbox --text hi", "--inbox sends nothing"},
      {"--probe --number 1", "--probe sends nothing"},
      {"--list-ports --text hi", "--list-ports sends nothing"},
      {"--port 3 --probe --dry-run", "--probe sends nothing"},
      {"--list-ports --left rest.txt", "--list-ports sends nothing"},
  };
  for (const RefusedCase& c : cases) {
    CSendOptions options;
    std::string error;
    EXPECT_FALSE(options.Parse(Split(c.args), error)) << c.args;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.args << " gave: " << error;
  }
}

}  // namespace
