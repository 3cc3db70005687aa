#include "tools/varnek-send/SendOptions.h"

#include <algorithm>
#include <climits>

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
  if (high < low) return false;
  o.m_minPause = low;
  o.m_maxPause = high;
  return true;
}

bool SetEncoding(CSendOptions& o, const std::string& value) {
  if (value != "cp1251" && value != "utf-8") return false;
  o.m_encoding = value == "cp1251" ? TextEncoding::Cp1251 : TextEncoding::Utf8;
  return true;
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
       if (!ParseCount(v, baud)) return false;
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

// What a bad value of an option should have been.
struct ValueHint {
  const char* name;
  const char* hint;
};

constexpr ValueHint kValueHints[] = {
    {"--port", "a port number from 1"},
    {"--baud", "a speed in bit/s (0 keeps the port's speed)"},
    {"--pause", "MIN or MIN:MAX in seconds with MAX not below MIN"},
    {"--from", "a number's place in the list, from 1"},
    {"--piece-pause", "milliseconds from 0 to 10000"},
    {"--port-retries", "a count from 1"},
    {"--markers", "a folder"},
    {"--encoding", "cp1251 or utf-8"},
    {"--mask", "a mask with 1 to 4 '*'"},
    {"--number", "a number with digits"},
};

std::string BadValue(const std::string& name, const std::string& value) {
  std::string message = "bad value for " + name + ": \"" + value + "\"";
  for (const ValueHint& h : kValueHints) {
    if (name == h.name) message += std::string(" (expected ") + h.hint + ")";
  }
  return message;
}

}  // namespace

bool CSendOptions::Parse(const std::vector<std::string>& args, std::string& error) {
  for (size_t i = 1; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    const size_t equals = name.rfind("--", 0) == 0 ? name.find('=') : std::string::npos;
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionEntry* entry = FindOption(name);
    if (entry == nullptr) {
      error = name.empty() || name[0] != '-' ? "unexpected argument \"" + name + "\"" : "unknown option " + name;
      return false;
    }
    if (entry->takesValue && equals == std::string::npos) {
      if (i + 1 == args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    } else if (!entry->takesValue && equals != std::string::npos) {
      error = name + " takes no value";
      return false;
    }
    if (!SetOption(name, value, error)) return false;
  }
  return m_help || CheckComplete(error);
}

bool CSendOptions::SetOption(const std::string& name, const std::string& value, std::string& error) {
  const bool textGiven = m_text.has_value() || !m_textFile.empty();
  if ((name == "--text" || name == "--text-file") && textGiven) {
    error = "give the message once, with --text or --text-file";
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
    error = "--port " + std::to_string(*port) + " is given twice";
    return false;
  }
  if (const std::string* device = FirstRepeat(m_devices)) {
    error = "--device " + *device + " is given twice";
    return false;
  }
  if (m_probe || m_listPorts) return CheckPortTask(error);
  if (m_sources.empty()) {
    error = "no numbers: give --list FILE, --mask MASK or --number NUMBER";
    return false;
  }
  if (!m_text.has_value() && m_textFile.empty()) {
    error = "no message: give --text TEXT or --text-file FILE";
    return false;
  }
  return true;
}

// --probe and --list-ports look at the modem only.
bool CSendOptions::CheckPortTask(std::string& error) const {
  const char* task = m_probe ? "--probe" : "--list-ports";
  if (m_probe && m_listPorts) {
    error = "give --probe or --list-ports, not both";
    return false;
  }
  if (!m_sources.empty() || m_text || !m_textFile.empty() || m_dryRun) {
    error = std::string(task) +
            " sends nothing: it takes no numbers, no message and no --dry-run";
    return false;
  }
  return true;
}
