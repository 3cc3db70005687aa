#include "tools/modemsim/SimOptions.h"

#include <algorithm>

#include "tools/modemsim/SimEscapes.h"
#include "tools/modemsim/SimSpeed.h"
#include "tools/modemsim/SimStatusLines.h"

namespace modemsim {

namespace {

enum class OptionKind { Text, EscapedText, EscapedList, Count, Pair, Flag, Echo, Submit, Command,
                        Answer, Profile, Messaging, CmgsForm, StatusLines, SimBusy, Reboot,
                        Speed };

struct OptionEntry {
  const char* name;
  OptionKind kind;
  std::string CSimOptions::*text;
  int CSimOptions::*count;
  int CSimOptions::*second;  // of a Pair "A:B"
  bool CSimOptions::*flag;
};

constexpr OptionEntry Text(const char* name, std::string CSimOptions::*member,
                           OptionKind kind = OptionKind::Text) {
  return {name, kind, member, nullptr, nullptr, nullptr};
}
constexpr OptionEntry Count(const char* name, int CSimOptions::*member) {
  return {name, OptionKind::Count, nullptr, member, nullptr, nullptr};
}
constexpr OptionEntry Pair(const char* name, int CSimOptions::*first, int CSimOptions::*second) {
  return {name, OptionKind::Pair, nullptr, first, second, nullptr};
}
constexpr OptionEntry Flag(const char* name, bool CSimOptions::*member) {
  return {name, OptionKind::Flag, nullptr, nullptr, nullptr, member};
}
constexpr OptionEntry Other(const char* name, OptionKind kind) {
  return {name, kind, nullptr, nullptr, nullptr, nullptr};
}

constexpr OptionEntry kOptions[] = {
    Text("--link", &CSimOptions::m_link),
    Text("--record", &CSimOptions::m_record),
    Text("--transcript", &CSimOptions::m_transcript),
    Text("--stop-file", &CSimOptions::m_stopFile),
    Text("--ready-file", &CSimOptions::m_readyFile),
    Text("--prompt", &CSimOptions::m_prompt, OptionKind::EscapedText),
    Text("--noise", &CSimOptions::m_noise, OptionKind::EscapedText),
    Text("--unsolicited", &CSimOptions::m_unsolicited, OptionKind::EscapedText),
    Text("--unsolicited-inside", &CSimOptions::m_unsolicitedInside, OptionKind::EscapedText),
    Text("--refuse", &CSimOptions::m_refuse),
    Other("--urc", OptionKind::EscapedList),
    Count("--urc-every", &CSimOptions::m_urcEveryMs),
    Count("--max-seconds", &CSimOptions::m_maxSeconds),
    Count("--ref", &CSimOptions::m_firstRef),
    Count("--drop-ms", &CSimOptions::m_dropMs),
    Count("--delay", &CSimOptions::m_delayMs),
    Pair("--split", &CSimOptions::m_splitBytes, &CSimOptions::m_splitMs),
    Pair("--network", &CSimOptions::m_networkMinMs, &CSimOptions::m_networkMaxMs),
    Pair("--burst-limit", &CSimOptions::m_burstBytes, &CSimOptions::m_burstMs),
    Flag("--silent", &CSimOptions::m_silent),
    Flag("--text-echo", &CSimOptions::m_textEcho),
    Flag("--start-in-text", &CSimOptions::m_startInText),
    Flag("--help", &CSimOptions::m_help),
    Other("--echo", OptionKind::Echo),
    Other("--submit", OptionKind::Submit),
    Other("--command", OptionKind::Command),
    Other("--answer", OptionKind::Answer),
    Other("--profile", OptionKind::Profile),
    Other("--reports", OptionKind::Messaging),
    Other("--report-memory", OptionKind::Messaging),
    Other("--memory", OptionKind::Messaging),
    Other("--report-delay", OptionKind::Messaging),
    Other("--report-status", OptionKind::Messaging),
    Other("--incoming", OptionKind::Messaging),
    Other("--stored-message", OptionKind::Messaging),
    Other("--stored-report", OptionKind::Messaging),
    Flag("--text-mode-only", &CSimOptions::m_textModeOnly),
    Flag("--csca-required", &CSimOptions::m_centreRequired),
    Count("--before-prompt", &CSimOptions::m_beforePromptBytes),
    Pair("--rate-limit", &CSimOptions::m_rateCount, &CSimOptions::m_rateWindowMs),
    Other("--cmgs-form", OptionKind::CmgsForm),
    Other("--status-lines", OptionKind::StatusLines),
    Other("--sim-busy", OptionKind::SimBusy),
    Other("--reboot", OptionKind::Reboot),
    Other("--fixed-speed", OptionKind::Speed),
};

const OptionEntry* FindOption(const std::string& name) {
  for (const OptionEntry& o : kOptions) {
    if (name == o.name) return &o;
  }
  return nullptr;
}

// The habits of device families as seen in public modem logs. A profile is
// the options it stands for; later options add to it or override it.
struct Profile {
  const char* name;
  const char* description;
  const char* options[16];  // name, value, name, value ...; flags take "", null ends
};

constexpr Profile kProfiles[] = {
    {"usb-stick", "3G USB stick: ^RSSI, ^BOOT and ^MODE between any two lines, text echoed",
     {"--urc", "\\r\\n^RSSI:17\\r\\n", "--urc", "\\r\\n^BOOT:20952988,0,0,0,75\\r\\n", "--urc",
      "\\r\\n^MODE:5,4\\r\\n", "--urc-every", "150", "--text-echo", ""}},
    {"lte-module", "LTE module: prompt \">\" CR LF without the blank, +CMTI and RING lines",
     {"--prompt", "\\r\\n>\\r\\n", "--urc", "\\r\\n+CMTI: \"ME\",3\\r\\n", "--urc",
      "\\r\\nRING\\r\\n", "--urc-every", "300"}},
    {"noisy-line", "a zero byte before every reply", {"--noise", "\\x00"}},
    {"old-phone", "loses the bytes beyond 64 that arrive within 150 ms",
     {"--burst-limit", "64:150"}},
    {"slow-network", "the network answers a submission after 8 to 15 s",
     {"--network", "8000:15000"}},
    {"pin-locked", "the SIM waits for its PIN: every AT+CMGS is refused, no network",
     {"--refuse", "+CMS ERROR: 311", "--answer", "AT+CPIN?:+CPIN: SIM PIN", "--answer",
      "AT+CREG?:+CREG: 0,0", "--answer", "AT+COPS?:+COPS: 0", "--answer",
      "AT+CSCA?:+CME ERROR: 11"}},
    {"unregistered", "no network found: searching, no signal, every AT+CMGS refused",
     {"--refuse", "+CMS ERROR: 331", "--answer", "AT+CREG?:+CREG: 0,2", "--answer",
      "AT+CSQ:+CSQ: 99,99", "--answer", "AT+COPS?:+COPS: 0"}},
    {"no-queries", "answers ERROR to every query of maker, model, SIM, network, signal ...",
     {"--answer", "AT+CGMI:ERROR", "--answer", "AT+CGMM:ERROR", "--answer", "AT+CPIN?:ERROR",
      "--answer", "AT+CREG?:ERROR", "--answer", "AT+CSQ:ERROR", "--answer", "AT+COPS?:ERROR",
      "--answer", "AT+CSCA?:ERROR"}},
    {"killed-run", "starts waiting for PDU text, as a run killed in a submission left it",
     {"--start-in-text", ""}},
    {"wrapping", "message references 254, 255, 0, 1 ...", {"--ref", "254"}},
    {"reports-straight", "routes status reports only straight to the line (+CDS)",
     {"--reports", "straight"}},
    {"reports-stored", "stores status reports apart (\"SR\") with a +CDSI notice, never straight",
     {"--reports", "stored", "--report-memory", "SR"}},
    {"no-reports", "no status-report routing: AT+CNMI with <ds> 1 or 2 is refused, reports lost",
     {"--reports", "none"}},
    {"full-memory", "a memory of 3 places, all taken by messages of an earlier day",
     {"--memory", "3", "--stored-message", "+79001112233:old one", "--stored-message",
      "+79001112233:old two", "--stored-message", "Varnek:old three"}},
    {"busy-stick", "3G USB stick in use: its status lines every 100 ms between any two lines, "
     "text echoed", {"--status-lines", "100", "--text-echo", ""}},
    {"text-only", "a phone or modem without PDU mode: AT+CMGF=0 answers ERROR",
     {"--text-mode-only", ""}},
    {"tight-phone", "a phone that writes \"+CMGS:12\", without the blank",
     {"--cmgs-form", "tight"}},
    {"cmgs-fields", "a module that writes the optional field after +CMGS: 12,",
     {"--cmgs-form", "fields"}},
    {"congested", "a congested network: a submission is answered after 40 to 130 s",
     {"--network", "40000:130000"}},
    {"chatty-module", "10 KiB of status lines between AT+CMGS and its prompt",
     {"--before-prompt", "10240"}},
    {"cold-start", "just powered up: the SIM is busy for 8 s (+CMS ERROR: 314)",
     {"--sim-busy", "8000"}},
    {"rate-limited", "a network that takes two messages a minute (+CMS ERROR: 41 for more)",
     {"--rate-limit", "2:60000"}},
    {"rebooting-stick", "a stick that reboots in the second submission, back after 3 s",
     {"--reboot", "2:3000"}},
    {"blank-smsc", "a PDU without service centre gets +CMS ERROR: 330 until AT+CSCA= is written",
     {"--csca-required", ""}},
    {"fixed-9600", "a modem fixed at 9600 bit/s: garbage both ways at any other speed",
     {"--fixed-speed", "9600"}},
};

// What a ready modem answers to the queries of maker, model, SIM, network,
// signal, operator and service centre.
struct QueryAnswer {
  const char* query;
  const char* line;
};

constexpr QueryAnswer kReadyAnswers[] = {
    {"AT+CGMI", "Varnek Labs"},
    {"AT+CGMM", "VMS-1 simulated modem"},
    {"AT+CPIN?", "+CPIN: READY"},
    {"AT+CREG?", "+CREG: 0,1"},
    {"AT+CSQ", "+CSQ: 21,0"},
    {"AT+COPS?", "+COPS: 0,0,\"Varnek Mobile\""},
    {"AT+CSCA?", "+CSCA: \"+79990000100\",145"},
};

bool ParsePair(const std::string& value, int& first, int& second) {
  size_t colon = value.find(':');
  return colon != std::string::npos && ParseCount(value.substr(0, colon), first) &&
         ParseCount(value.substr(colon + 1), second);
}

}  // namespace

CSimOptions::CSimOptions() {
  for (const QueryAnswer& answer : kReadyAnswers) m_answers[answer.query] = answer.line;
}

std::string CSimOptions::HelpText() {
  std::string help =
      "usage: varnek-modem-sim --link PATH [options]\n"
      "A GSM modem (PDU mode, text mode) on a pty; PATH becomes a symlink to its\n"
      "slave.\n"
      "  --record FILE          append one line per submission:\n"
      "                         index TAB announced-length TAB text TAB answer,\n"
      "                         then TAB-separated marks: mode=text number= type=\n"
      "                         cscs= dcs= text= (text mode; the last as the phone\n"
      "                         shows it), sca= (the PDU's own service centre),\n"
      "                         rebooted=1 (no answer came: the device rebooted)\n"
      "  --transcript FILE      every byte in and out, escaped\n"
      "  --stop-file FILE       stop when FILE appears\n"
      "  --ready-file FILE      write \"ready PATH\" there once the link exists\n"
      "  --max-seconds N        stop after N seconds (600)\n"
      "  --ref N                first message reference (1); they wrap from 255 to 0\n"
      "  --drop-ms MS           pause before the new pty of a dropped line (300)\n"
      "  --silent               never answer nor echo (no modem)\n"
      "  --echo 0|1             initial echo (1)\n"
      "  --text-echo            with echo on, echo the PDU text as it is typed\n"
      "  --start-in-text        start waiting for PDU text (until Ctrl-Z or ESC)\n"
      "  --delay MS             pause before every reply\n"
      "  --split BYTES:MS       write replies in pieces of BYTES, MS apart\n"
      "  --prompt TEXT          the AT+CMGS prompt (\\r\\n> )\n"
      "  --noise TEXT           sent before every reply, the prompt included\n"
      "  --unsolicited TEXT     sent before every final reply (\\r \\n \\\" \\xNN)\n"
      "  --unsolicited-inside TEXT  sent between \"+CMGS: n\\r\\n\" and \"\\r\\nOK\\r\\n\"\n"
      "  --urc TEXT             an unsolicited line sent between lines, in turn with\n"
      "                         the others given, every --urc-every MS (200)\n"
      "  --network MIN:MAX      the network answers a submission after MIN to MAX ms\n"
      "  --burst-limit N:MS     bytes beyond N that arrive within MS ms are lost\n"
      "  --refuse LINE          answer every AT+CMGS at once with LINE\n"
      "  --text-mode-only       no PDU mode: AT+CMGF=0 answers ERROR, text mode from\n"
      "                         power-up. Text mode (AT+CMGF=1, AT+CSMP, AT+CSCS\n"
      "                         \"IRA\" \"GSM\" \"UCS2\", AT+CMGS=\"number\") works in any\n"
      "                         modem; a text over 160 septets, 140 octets or 70\n"
      "                         UCS2 characters (by the dcs) gets +CMS ERROR: 304\n"
      "  --cmgs-form FORM       the reference line: blank +CMGS: 12 (default), tight\n"
      "                         +CMGS:12, fields +CMGS: 12,\"<time stamp>\" in text\n"
      "                         mode and +CMGS: 12,\"<acknowledgement PDU>\" in PDU mode\n"
      "  --status-lines MS      a stick's status lines (^DSFLOWRPT, ^RSSI, ^MODE,\n"
      "                         ^BOOT, +CREG) join the --urc lines, every MS ms\n"
      "  --before-prompt BYTES  at least BYTES of status lines, whole, between\n"
      "                         AT+CMGS and its prompt\n"
      "  --sim-busy MS[:LINE]   for MS ms after power-up (the start, the end of a\n"
      "                         reboot) every AT+CMGS is refused with LINE\n"
      "                         (+CMS ERROR: 314)\n"
      "  --rate-limit N:MS      the network takes at most N messages within any MS ms\n"
      "                         and answers more with +CMS ERROR: 41 (not counted)\n"
      "  --reboot K:MS          where the answer to submission K would come, the\n"
      "                         device vanishes (pty closed, link removed) and comes\n"
      "                         back after MS ms in its power-up state; K is\n"
      "                         recorded with its outcome and rebooted=1 (the same\n"
      "                         as --submit K:reboot:MS)\n"
      "  --csca-required        a PDU with an empty service-centre field gets\n"
      "                         +CMS ERROR: 330 until AT+CSCA=\"number\" was written\n"
      "                         since power-up\n"
      "  --fixed-speed BAUD     talk only at BAUD: from a client at another speed\n"
      "                         nothing is understood, and it gets garbage\n"
      "  --submit K:WHAT        fault of submission K (from 1, counting the texts\n"
      "                         taken: an AT+CMGS refused at once is K again); WHAT\n"
      "                         is error, cms:X or cme:X (a code or a verbose text),\n"
      "                         ref0, noprompt, silent, drop, delay:MS or reboot:MS\n"
      "  --command CMD:WHAT     fault of a command (without \\r, any case); WHAT is\n"
      "                         silent, error or delay:MS\n"
      "  --answer QUERY:LINE    answer QUERY (AT+CPIN?, AT+CSQ ...) with LINE and OK,\n"
      "                         or with LINE alone when it is ERROR or +CME ERROR: X;\n"
      "                         by default the queries of maker, model, SIM, network,\n"
      "                         signal, operator and service centre get a ready\n"
      "                         modem's answers\n"
      "  --profile NAME         the habits of a family of devices:\n";
  for (const Profile& profile : kProfiles) {
    help += "      " + std::string(profile.name) + ": " + profile.description + "\n";
  }
  return help + CMessagingOptions::HelpText() +
         "Stops on SIGTERM or SIGINT and removes the link.\n";
}

bool CSimOptions::Parse(int argc, char** argv, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    size_t equals = name.find('=');
    bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionEntry* entry = FindOption(name);
    if (entry == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    if (entry->kind != OptionKind::Flag && !inlineValue) {
      if (i + 1 == argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (!SetOption(name, value, error)) return false;
  }
  if (m_link.empty() && !m_help) {
    error = "--link PATH is required";
    return false;
  }
  return true;
}

bool CSimOptions::SetOption(const std::string& name, const std::string& value, std::string& error) {
  const OptionEntry* entry = FindOption(name);
  bool ok = true;
  switch (entry->kind) {
    case OptionKind::Text: this->*(entry->text) = value; break;
    case OptionKind::EscapedText: this->*(entry->text) = DecodeEscapes(value); break;
    case OptionKind::EscapedList: m_urcs.push_back(DecodeEscapes(value)); break;
    case OptionKind::Count: ok = ParseCount(value, this->*(entry->count)); break;
    case OptionKind::Pair: ok = ParsePair(value, this->*(entry->count), this->*(entry->second)); break;
    case OptionKind::Flag: this->*(entry->flag) = true; break;
    case OptionKind::Echo:
      ok = value == "0" || value == "1";
      m_echo = value == "1";
      break;
    case OptionKind::Submit: ok = m_script.AddSubmitFault(value); break;
    case OptionKind::Command: ok = m_script.AddCommandFault(value); break;
    case OptionKind::Answer: ok = SetAnswer(value); break;
    case OptionKind::Profile: return SetProfile(value, error);
    case OptionKind::Messaging: ok = m_messaging.Set(name, value); break;
    case OptionKind::CmgsForm: ok = ParseCmgsForm(value, m_cmgsForm); break;
    case OptionKind::StatusLines: ok = SetStatusLines(value); break;
    case OptionKind::SimBusy: ok = SetSimBusy(value); break;
    case OptionKind::Reboot: ok = m_script.AddReboot(value); break;
    case OptionKind::Speed:
      ok = ParseCount(value, m_fixedSpeed) && IsKnownBaud(m_fixedSpeed);
      break;
  }
  if (!ok) error = "bad value for " + name + ": " + value;
  return ok;
}

bool CSimOptions::SetAnswer(const std::string& entry) {
  const size_t colon = entry.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  m_answers[ToUpper(entry.substr(0, colon))] = entry.substr(colon + 1);
  return true;
}

// The stick's status lines join the unsolicited lines, once, at their pace.
bool CSimOptions::SetStatusLines(const std::string& everyMs) {
  if (!ParseCount(everyMs, m_urcEveryMs) || m_urcEveryMs == 0) return false;
  for (const std::string& line : StatusLines()) {
    if (std::find(m_urcs.begin(), m_urcs.end(), line) == m_urcs.end()) m_urcs.push_back(line);
  }
  return true;
}

bool CSimOptions::SetSimBusy(const std::string& entry) {
  const size_t colon = entry.find(':');
  if (!ParseCount(entry.substr(0, colon), m_simBusyMs)) return false;
  if (colon == std::string::npos) return true;
  m_simBusyLine = entry.substr(colon + 1);
  return !m_simBusyLine.empty();
}

bool CSimOptions::SetProfile(const std::string& name, std::string& error) {
  for (const Profile& profile : kProfiles) {
    if (name != profile.name) continue;
    for (int i = 0; profile.options[i] != nullptr; i += 2) {
      if (!SetOption(profile.options[i], profile.options[i + 1], error)) return false;
    }
    return true;
  }
  error = "unknown profile " + name;
  return false;
}

}  // namespace modemsim
