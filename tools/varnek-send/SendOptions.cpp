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
    {"--from", true, [](CSendOptions& o, const std::string& v) { return ParseCount(v, o.m_from); }},
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
    {"--help", false, [](CSendOptions& o, const std::string&) { return (o.m_help = true), true; }},
    {"-h", false, [](CSendOptions& o, const std::string&) { return (o.m_help = true), true; }},
};

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
    {"--from", "an index from 0"},
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
  for (size_t i = 0; i < m_ports.size(); ++i) {
    if (std::find(m_ports.begin(), m_ports.begin() + i, m_ports[i]) != m_ports.begin() + i) {
      error = "--port " + std::to_string(m_ports[i]) + " is given twice";
      return false;
    }
  }
  for (size_t i = 0; i < m_devices.size(); ++i) {
    if (std::find(m_devices.begin(), m_devices.begin() + i, m_devices[i]) != m_devices.begin() + i) {
      error = "--device " + m_devices[i] + " is given twice";
      return false;
    }
  }
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

const char* CSendOptions::UsageText() {
  return "usage: varnek-send [options] (--list FILE | --mask MASK | --number NUMBER)...\n"
         "                   (--text TEXT | --text-file FILE)\n"
         "Sends one SMS text to a list of numbers through a GSM modem, as the Varnek\n"
         "window does. The settings file, \"logs\" and \"PHONES\" are beside this program;\n"
         "the settings file is read, never written: the options hold for this run only.\n"
         "  --port N            COM port number (default: PORT of the settings file)\n"
         "  --device PATH       use this serial device (a USB modem, or a pty) as the\n"
         "                      port: as COM N with --port N, else as COM 99\n"
         "                      Several --port or --device: a pool of modems that\n"
         "                      share the list, each number sent by one of them. The\n"
         "                      n-th --device is COM N of the n-th --port; devices\n"
         "                      beyond the ports are COM 99, 100, ... (the code of\n"
         "                      their lines in the modem log)\n"
         "  --baud N            speed in bit/s, 0 keeps the port's (default: BAUDRATE)\n"
         "  --check | --no-check   duplicate check (default: CHECK)\n"
         "  --pause MIN[:MAX]   pause limits in seconds (default: TIMEOUT, TIMEOUT2)\n"
         "  --from INDEX        start at this index of the list, 0 is the first\n"
         "                      (default 0)\n"
         "  --encoding cp1251|utf-8   of list and text files without a byte order\n"
         "                      mark (default: UTF-8 for a file of valid UTF-8, else\n"
         "                      cp1251; a UTF-8 or UTF-16 byte order mark decides)\n"
         "  --list FILE         add the numbers of a list file\n"
         "  --mask MASK         add the numbers of a mask with 1 to 4 '*'\n"
         "  --number NUMBER     add one number\n"
         "  --text TEXT         the message (cut to 498 characters)\n"
         "  --text-file FILE    the message from a file, without its final line breaks\n"
         "List, text and settings files must be regular files of at most 64 MiB.\n"
         "Progress goes to stderr, the outcome per number to stdout. Ctrl-C, SIGTERM or\n"
         "SIGHUP (on Windows also closing the console, logoff, shutdown) stops after\n"
         "the number in hand; a message on the line is always finished. A further one\n"
         "also cuts a pause or a countdown short.\n"
         "Exit status: 0 every number from INDEX on Sent or Duplicate, 1 any other\n"
         "outcome, 2 bad usage or unreadable input; after a stop 128 + the signal:\n"
         "130 Ctrl-C, 129 hang-up (console closed), 143 SIGTERM (logoff, shutdown).\n";
}
