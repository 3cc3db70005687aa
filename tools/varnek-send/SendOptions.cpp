#include "tools/varnek-send/SendOptions.h"

#include <algorithm>
#include <climits>

#include "engine/SettingValue.h"

namespace {

// A decimal count without sign; false for anything else or beyond INT_MAX.
bool ParseCount(const std::string& text, int& value) {
  if (text.empty() || text.size() > 10) return false;
  long long result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  if (result > INT_MAX) return false;
  value = static_cast<int>(result);
  return true;
}

bool HasDigit(const std::string& text) { return text.find_first_of("0123456789") != std::string::npos; }

int CountStars(const std::string& text) {
  int stars = 0;
  for (char c : text) stars += c == '*';
  return stars;
}

using Setter = bool (*)(CSendOptions&, const std::string&);

struct OptionEntry {
  const char* name;
  bool takesValue;
  Setter set;  // false: the value is bad
};

bool SetPause(CSendOptions& o, const std::string& value) {
  const size_t colon = value.find(':');
  int low = 0;
  int high = 0;
  if (!ParseCount(value.substr(0, colon), low)) return false;
  high = low;
  if (colon != std::string::npos && !ParseCount(value.substr(colon + 1), high)) return false;
  if (high < low || high > kMaxPauseSeconds) return false;
  o.m_minPause = low;
  o.m_maxPause = high;
  return true;
}

bool SetEncoding(CSendOptions& o, const std::string& value) {
  if (value != "cp1251" && value != "utf-8") return false;
  o.m_encoding = value == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;
  return true;
}

struct LanguageName {
  const char* name;
  Language language;
};

constexpr LanguageName kLanguageNames[] = {{"en", Language::English}, {"ru", Language::Russian}};

const LanguageName* FindLanguage(const std::string& name) {
  for (const LanguageName& entry : kLanguageNames) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

bool AddSource(CSendOptions& o, CListSource::Kind kind, const std::string& value) {
  o.m_sources.push_back({kind, value});
  return true;
}

// A count of at least 1.
bool SetPositive(int& field, const std::string& value) {
  return ParseCount(value, field) && field >= 1;
}

bool SetFlag(bool& field) { return (field = true); }

// "+" then 3 to 20 digits, as a service centre's address holds them.
bool SetServiceCentre(CSendOptions& o, const std::string& value) {
  const size_t start = !value.empty() && value[0] == '+' ? 1 : 0;
  const size_t digits = value.size() - start;
  if (digits < 3 || digits > 20) return false;
  if (value.find_first_not_of("0123456789", start) != std::string::npos) return false;
  o.m_smsc = value;
  return true;
}

// A count of seconds, or of minutes or hours with "m" or "h" after it ("s"
// too), up to max seconds.
bool ParseDuration(std::string text, int max, int& seconds) {
  constexpr struct {
    char unit;
    int seconds;
  } kUnits[] = {{'s', 1}, {'m', 60}, {'h', 60 * 60}};
  int scale = 1;
  for (const auto& unit : kUnits) {
    if (!text.empty() && text.back() == unit.unit) {
      text.pop_back();
      scale = unit.seconds;
    }
  }
  int count = 0;
  if (!ParseCount(text, count) || count > max / scale) return false;
  seconds = count * scale;
  return true;
}

constexpr OptionEntry kOptions[] = {
    {"--port", true,
     [](CSendOptions& o, const std::string& v) {
       int port = 0;
       if (!ParseCount(v, port) || port < 1) return false;
       o.m_ports.push_back(port);
       return true;
     }},
    {"--device", true,
     [](CSendOptions& o, const std::string& v) { return !v.empty() && (o.m_devices.push_back(v), true); }},
    {"--baud", true,
     [](CSendOptions& o, const std::string& v) {
       int baud = 0;
       if (!ParseCount(v, baud) || baud > kMaxBaudRate) return false;
       o.m_baudRate = baud;
       return true;
     }},
    {"--check", false, [](CSendOptions& o, const std::string&) { return (o.m_check = true), true; }},
    {"--no-check", false, [](CSendOptions& o, const std::string&) { return (o.m_check = false), true; }},
    {"--pause", true, SetPause},
    {"--from", true,
     [](CSendOptions& o, const std::string& v) { return SetPositive(o.m_from, v); }},
    {"--piece-pause", true,
     [](CSendOptions& o, const std::string& v) {
       int pause = 0;
       if (!ParseCount(v, pause) || pause > CSendOptions::kMaxPiecePause) return false;
       o.m_piecePause = pause;
       return true;
     }},
    {"--markers", true,
     [](CSendOptions& o, const std::string& v) { return !v.empty() && (o.m_markers = v, true); }},
    {"--resend-unconfirmed", false,
     [](CSendOptions& o, const std::string&) { return SetFlag(o.m_resendUnconfirmed); }},
    {"--reports", false,
     [](CSendOptions& o, const std::string&) { return (o.m_reports = true), true; }},
    {"--no-reports", false,
     [](CSendOptions& o, const std::string&) { return (o.m_reports = false), true; }},
    {"--smsc", true, SetServiceCentre},
    {"--confirm-wait", true,
     [](CSendOptions& o, const std::string& v) {
       int seconds = 0;
       if (!ParseDuration(v, CSendOptions::kMaxConfirmWait, seconds) || seconds < 1) return false;
       o.m_confirmWait = seconds;
       return true;
     }},
    {"--wait-reports", true,
     [](CSendOptions& o, const std::string& v) {
       return ParseDuration(v, CSendOptions::kMaxWaitReports, o.m_waitReports);
     }},
    {"--collect", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_collect); }},
    {"--inbox", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_inbox); }},
    {"--port-retries", true,
     [](CSendOptions& o, const std::string& v) { return SetPositive(o.m_portRetries, v); }},
    {"--wait-for-port", false,
     [](CSendOptions& o, const std::string&) { return SetFlag(o.m_waitForPort); }},
    {"--dry-run", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_dryRun); }},
    {"--quiet", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_quiet); }},
    {"--probe", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_probe); }},
    {"--list-ports", false,
     [](CSendOptions& o, const std::string&) { return SetFlag(o.m_listPorts); }},
    {"--encoding", true, SetEncoding},
    {"--list", true,
     [](CSendOptions& o, const std::string& v) { return !v.empty() && AddSource(o, CListSource::List, v); }},
    {"--mask", true,
     [](CSendOptions& o, const std::string& v) {
       const int stars = CountStars(v);
       return stars >= 1 && stars <= 4 && AddSource(o, CListSource::Mask, v);
     }},
    {"--number", true,
     [](CSendOptions& o, const std::string& v) { return HasDigit(v) && AddSource(o, CListSource::Number, v); }},
    {"--text", true, [](CSendOptions& o, const std::string& v) { return (o.m_text = v), true; }},
    {"--text-file", true, [](CSendOptions& o, const std::string& v) { return !(o.m_textFile = v).empty(); }},
    {"--left", true, [](CSendOptions& o, const std::string& v) { return !(o.m_left = v).empty(); }},
    // Chosen before the parse (LanguageOf); here only checked.
    {"--lang", true, [](CSendOptions&, const std::string& v) { return FindLanguage(v) != nullptr; }},
    {"--help", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_help); }},
    {"-h", false, [](CSendOptions& o, const std::string&) { return SetFlag(o.m_help); }},
};

// The first value that stands twice in values; null when none does.
template <typename T>
const T* FirstRepeat(const std::vector<T>& values) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (std::find(values.begin(), values.begin() + i, values[i]) != values.begin() + i) {
      return &values[i];
    }
  }
  return nullptr;
}

const OptionEntry* FindOption(const std::string& name) {
  for (const OptionEntry& entry : kOptions) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

// What a bad value of an option should have been; limit: the number the
// hint names, if any.
struct ValueHint {
  const char* name;
  Msg hint;
  int limit;
};

constexpr ValueHint kValueHints[] = {
    {"--port", Msg::HintPort, 0},
    {"--baud", Msg::HintBaud, kMaxBaudRate},
    {"--pause", Msg::HintPause, kMaxPauseSeconds},
    {"--from", Msg::HintFrom, 0},
    {"--piece-pause", Msg::HintPiecePause, CSendOptions::kMaxPiecePause},
    {"--port-retries", Msg::HintPortRetries, 0},
    {"--encoding", Msg::HintEncoding, 0},
    {"--mask", Msg::HintMask, 0},
    {"--number", Msg::HintNumber, 0},
    {"--lang", Msg::HintLang, 0},
    {"--markers", Msg::HintMarkers, 0},
    {"--smsc", Msg::HintServiceCentre, 0},
    {"--confirm-wait", Msg::HintSeconds, CSendOptions::kMaxConfirmWait},
    {"--wait-reports", Msg::HintDuration, CSendOptions::kMaxWaitReports / 3600},
};

std::string BadValue(const std::string& name, const std::string& value) {
  for (const ValueHint& h : kValueHints) {
    if (name == h.name) {
      return Say(Msg::BadValueExpected, {name, value, Say(h.hint, {std::to_string(h.limit)})});
    }
  }
  return Say(Msg::BadValue, {name, value});
}

// An argument as name and value: "--name=value" holds both, anything else
// only a name.
struct Argument {
  std::string name;
  std::string value;
  bool hasValue = false;
};

Argument Split(const std::string& arg) {
  Argument split{arg, std::string(), false};
  const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
  if (equals != std::string::npos) {
    split = {arg.substr(0, equals), arg.substr(equals + 1), true};
  }
  return split;
}

}  // namespace

Language CSendOptions::LanguageOf(const std::vector<std::string>& args) {
  Language language = UserLanguage();
  for (size_t i = 1; i < args.size(); ++i) {
    Argument arg = Split(args[i]);
    const OptionEntry* entry = FindOption(arg.name);
    // The value of another option is skipped, as the parse skips it.
    if (entry != nullptr && entry->takesValue && !arg.hasValue && i + 1 < args.size()) {
      arg.value = args[++i];
    }
    const LanguageName* named = arg.name == "--lang" ? FindLanguage(arg.value) : nullptr;
    if (named != nullptr) language = named->language;
  }
  return language;
}

bool CSendOptions::Parse(const std::vector<std::string>& args, std::string& error) {
  for (size_t i = 1; i < args.size(); ++i) {
    Argument arg = Split(args[i]);
    const std::string& name = arg.name;
    const OptionEntry* entry = FindOption(name);
    if (entry == nullptr) {
      error = name.empty() || name[0] != '-' ? Say(Msg::UnexpectedArgument, {name})
                                             : Say(Msg::UnknownOption, {name});
      return false;
    }
    if (entry->takesValue && !arg.hasValue) {
      if (i + 1 == args.size()) {
        error = Say(Msg::NeedsValue, {name});
        return false;
      }
      arg.value = args[++i];
    } else if (!entry->takesValue && arg.hasValue) {
      error = Say(Msg::TakesNoValue, {name});
      return false;
    }
    if (!SetOption(name, arg.value, error)) return false;
  }
  return m_help || CheckComplete(error);
}

bool CSendOptions::SetOption(const std::string& name, const std::string& value, std::string& error) {
  const bool textGiven = m_text.has_value() || !m_textFile.empty();
  if ((name == "--text" || name == "--text-file") && textGiven) {
    error = Say(Msg::MessageTwice);
    return false;
  }
  if (!FindOption(name)->set(*this, value)) {
    error = BadValue(name, value);
    return false;
  }
  return true;
}

bool CSendOptions::CheckComplete(std::string& error) const {
  // Two modems on one port would take turns at it, each failing while the
  // other holds it.
  if (const int* port = FirstRepeat(m_ports)) {
    error = Say(Msg::GivenTwice, {"--port", std::to_string(*port)});
    return false;
  }
  if (const std::string* device = FirstRepeat(m_devices)) {
    error = Say(Msg::GivenTwice, {"--device", *device});
    return false;
  }
  if (ModemTask()) return CheckTask(error);
  if (m_sources.empty()) {
    error = Say(Msg::NoNumbers);
    return false;
  }
  if (!m_text.has_value() && m_textFile.empty()) {
    error = Say(Msg::NoMessage);
    return false;
  }
  if (m_dryRun && !m_left.empty()) {
    error = Say(Msg::DryRunWritesNothing);
    return false;
  }
  if (m_waitReports > 0 && m_reports == false) {
    error = Say(Msg::WaitWithoutReports);
    return false;
  }
  return true;
}

// The tasks that send nothing, one at a time.
bool CSendOptions::CheckTask(std::string& error) const {
  const char* task = m_probe ? "--probe" : m_listPorts ? "--list-ports" : m_collect ? "--collect" : "--inbox";
  if (m_probe + m_listPorts + m_collect + m_inbox > 1) {
    error = Say(Msg::OneTask);
    return false;
  }
  if (!m_sources.empty() || m_text || !m_textFile.empty() || m_dryRun || !m_left.empty()) {
    error = Say(Msg::PortTaskSendsNothing, {task});
    return false;
  }
  return true;
}
