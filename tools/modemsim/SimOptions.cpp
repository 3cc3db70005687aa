#include "tools/modemsim/SimOptions.h"

#include "tools/modemsim/SimEscapes.h"

namespace modemsim {

namespace {

enum class OptionKind { Text, EscapedText, Count, Flag, Echo, Split, Submit, Command };

struct OptionEntry {
  const char* name;
  OptionKind kind;
  std::string CSimOptions::*text;
  int CSimOptions::*count;
  bool CSimOptions::*flag;
};

constexpr OptionEntry kOptions[] = {
    {"--link", OptionKind::Text, &CSimOptions::m_link, nullptr, nullptr},
    {"--record", OptionKind::Text, &CSimOptions::m_record, nullptr, nullptr},
    {"--transcript", OptionKind::Text, &CSimOptions::m_transcript, nullptr, nullptr},
    {"--stop-file", OptionKind::Text, &CSimOptions::m_stopFile, nullptr, nullptr},
    {"--ready-file", OptionKind::Text, &CSimOptions::m_readyFile, nullptr, nullptr},
    {"--unsolicited", OptionKind::EscapedText, &CSimOptions::m_unsolicited, nullptr, nullptr},
    {"--unsolicited-inside", OptionKind::EscapedText, &CSimOptions::m_unsolicitedInside, nullptr,
     nullptr},
    {"--max-seconds", OptionKind::Count, nullptr, &CSimOptions::m_maxSeconds, nullptr},
    {"--ref", OptionKind::Count, nullptr, &CSimOptions::m_firstRef, nullptr},
    {"--drop-ms", OptionKind::Count, nullptr, &CSimOptions::m_dropMs, nullptr},
    {"--delay", OptionKind::Count, nullptr, &CSimOptions::m_delayMs, nullptr},
    {"--silent", OptionKind::Flag, nullptr, nullptr, &CSimOptions::m_silent},
    {"--help", OptionKind::Flag, nullptr, nullptr, &CSimOptions::m_help},
    {"--echo", OptionKind::Echo, nullptr, nullptr, nullptr},
    {"--split", OptionKind::Split, nullptr, nullptr, nullptr},
    {"--submit", OptionKind::Submit, nullptr, nullptr, nullptr},
    {"--command", OptionKind::Command, nullptr, nullptr, nullptr},
};

const OptionEntry* FindOption(const std::string& name) {
  for (const OptionEntry& o : kOptions) {
    if (name == o.name) return &o;
  }
  return nullptr;
}

}  // namespace

const char* CSimOptions::HelpText() {
  return "usage: varnek-modem-sim --link PATH [options]\n"
         "A GSM modem in PDU mode on a pty; PATH becomes a symlink to its slave.\n"
         "  --record FILE          append one line per submission:\n"
         "                         index TAB announced-length TAB pdu TAB answer\n"
         "  --transcript FILE      every byte in and out, escaped\n"
         "  --stop-file FILE       stop when FILE appears\n"
         "  --ready-file FILE      write \"ready PATH\" there once the link exists\n"
         "  --max-seconds N        stop after N seconds (600)\n"
         "  --ref N                first message reference (1)\n"
         "  --drop-ms MS           pause before the new pty of a dropped line (300)\n"
         "  --silent               never answer nor echo (no modem)\n"
         "  --echo 0|1             initial echo (1)\n"
         "  --delay MS             pause before every reply\n"
         "  --split BYTES:MS       write replies in pieces of BYTES, MS apart\n"
         "  --unsolicited TEXT     sent before every final reply (\\r \\n \\\" \\xNN)\n"
         "  --unsolicited-inside TEXT  sent between \"+CMGS: n\\r\\n\" and \"\\r\\nOK\\r\\n\"\n"
         "  --submit K:WHAT        fault of submission K (from 1); WHAT is error,\n"
         "                         cms:N, ref0, noprompt, silent, drop or delay:MS\n"
         "  --command CMD:WHAT     fault of a command (without \\r, any case); WHAT is\n"
         "                         silent, error or delay:MS\n"
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
    case OptionKind::Count: ok = ParseCount(value, this->*(entry->count)); break;
    case OptionKind::Flag: this->*(entry->flag) = true; break;
    case OptionKind::Echo:
      ok = value == "0" || value == "1";
      m_echo = value == "1";
      break;
    case OptionKind::Split: ok = SetSplit(value); break;
    case OptionKind::Submit: ok = m_script.AddSubmitFault(value); break;
    case OptionKind::Command: ok = m_script.AddCommandFault(value); break;
  }
  if (!ok) error = "bad value for " + name + ": " + value;
  return ok;
}

bool CSimOptions::SetSplit(const std::string& value) {
  size_t colon = value.find(':');
  if (colon == std::string::npos) return false;
  return ParseCount(value.substr(0, colon), m_splitBytes) && m_splitBytes > 0 &&
         ParseCount(value.substr(colon + 1), m_splitMs);
}

}  // namespace modemsim
