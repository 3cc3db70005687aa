#include "tools/varnek-send/SendHelp.h"

#include "engine/Engine.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/SerialDevice.h"

namespace {

constexpr char kUsage[] =
    "usage: varnek-send [options] (--list FILE | --mask MASK | --number NUMBER)...\n"
    "                   (--text TEXT | --text-file FILE)\n"
    "       varnek-send [--port N | --device PATH]... [--baud N] --probe\n"
    "       varnek-send [--device PATH]... [--baud N] --list-ports\n";

constexpr char kOptions[] =
    "Sends one SMS text to a list of numbers through a GSM modem, as the Varnek\n"
    "window does, one number after another.\n"
    "\n"
    "The numbers and the message:\n"
    "  --list FILE         add the numbers of a list file (one per line, up to 11\n"
    "                      digits, then an optional text)\n"
    "  --mask MASK         add the numbers of a mask with 1 to 4 '*'\n"
    "  --number NUMBER     add one number\n"
    "  --text TEXT         the message (cut to 498 characters)\n"
    "  --text-file FILE    the message from a file, without its final line breaks\n"
    "  --encoding cp1251|utf-8   of list and text files without a byte order\n"
    "                      mark (default: UTF-8 for a file of valid UTF-8, else\n"
    "                      cp1251; a UTF-8 or UTF-16 byte order mark decides)\n"
    "  --from K            start with the K-th number of the list, counting from 1\n"
    "                      as the progress lines \"K/N\" do (default 1)\n"
    "The modem:\n"
    "  --port N            COM port number (default: PORT of the settings file)\n"
    "  --device PATH       use this serial device (a USB modem, or a pty) as the\n"
    "                      port: as COM N with --port N, else as COM 99\n"
    "  Several --port or --device: a pool of modems that share the list, each\n"
    "  number sent by one of them, each modem with its own pause. The n-th --device\n"
    "  is COM N of the n-th --port; devices beyond the ports given are COM 99, 100,\n"
    "  ... in order: the code of their lines in the modem log. --probe asks each.\n"
    "  --baud N            speed in bit/s, 0 keeps the port's (default: BAUDRATE)\n"
    "  --piece-pause MS    pause after each 32 characters of PDU text (default 200,\n"
    "                      as the window, for old phones; 0 sends the text in one\n"
    "                      write, enough for a USB modem)\n"
    "  --wait-for-port     a port that cannot be opened is tried again every 10 s\n"
    "                      (for unattended runs) instead of ending the run at once\n"
    "  --port-retries N    end the run after N failed captures of the modem in a\n"
    "                      row, of any modem of a pool with no message sent between\n"
    "                      (default: try again every 10 s for ever)\n"
    "The delivery:\n"
    "  --check | --no-check   duplicate check (default: CHECK)\n"
    "  --markers DIR       the folder of the markers and claims of the check\n"
    "                      (default: MARKERS of the settings file, else PHONES\n"
    "                      beside the program). Runs on one list and one folder,\n"
    "                      here or on PCs sharing it, send each number once\n"
    "  --resend-unconfirmed   send the numbers that a run left unconfirmed (it\n"
    "                      died with the message perhaps gone out), which are\n"
    "                      otherwise never sent again\n"
    "  --pause MIN[:MAX]   pause after each message sent, in seconds (default:\n"
    "                      TIMEOUT, TIMEOUT2)\n"
    "  --dry-run           show the plan and the table of what would be sent; no\n"
    "                      port is opened, nothing is written\n"
    "  --quiet             leave out the plan (its warnings still show)\n"
    "Other tasks:\n"
    "  --probe             find the modem as \"Найти\" of the window does, capture\n"
    "                      it as a delivery would and ask it (read only) for maker,\n"
    "                      model, SIM, network, signal, operator and service\n"
    "                      centre: a report and a verdict\n"
    "  --list-ports        the COM ports found and those of every --device, their\n"
    "                      devices, and which of them answers as a modem (as\n"
    "                      \"Найти\" of the window searches)\n"
    "                      Both try every port at once (a silent one costs ten\n"
    "                      seconds) and announce each try on stderr; a port that\n"
    "                      answers with garbage is tried at 115200, 57600, 38400,\n"
    "                      19200 and 9600 bit/s, and the speed a modem answers at\n"
    "                      is named\n"
    "  --help              this text\n";

constexpr char kRunning[] =
    "Before the first number a plan goes to stderr: port(s) and speed, duplicate\n"
    "check, pauses, settings file, the numbers per source, the encoding and the\n"
    "text as the phone will show it, with warnings for list lines whose digits go\n"
    "past 11 and numbers that cannot be sent. Then the port (every modem's) is\n"
    "opened once: a device that is missing, busy, no serial device or refuses the\n"
    "speed ends the run with status 2 and the system's reason. Progress goes to\n"
    "stderr, the outcome per number to stdout.\n"
    "Ctrl-C, SIGTERM or SIGHUP (on Windows also closing the console, logoff,\n"
    "shutdown) stops after the number in hand (in a pool, each modem's); a message\n"
    "on the line is always finished. A further one also cuts a pause or a\n"
    "countdown short.\n"
    "List, text and settings files must be regular files of at most 64 MiB.\n"
    "\n"
    "Exit status:\n"
    "  0    every number from K on Sent or Duplicate; --dry-run: every one would\n"
    "       be sent or is a duplicate; --probe: the modem is ready to send;\n"
    "       --list-ports: a modem answers on one of the ports\n"
    "  1    any other outcome, or --port-retries ran out; --dry-run: a number\n"
    "       cannot be sent; --probe: not ready; --list-ports: no modem answers\n"
    "  2    bad usage or input: an unknown option, an unreadable file, an empty\n"
    "       list or message, a port that cannot be opened, a marker folder that\n"
    "       takes no file while the duplicate check is on\n"
    "  130  stopped by Ctrl-C; 129 by a hang-up (console closed); 143 by SIGTERM\n"
    "       (logoff, shutdown)\n"
    "\n"
    "Examples:\n"
    "  send a list through a USB modem on Linux, paced for a modern modem:\n"
    "    varnek-send --device /dev/ttyUSB0 --baud 115200 --piece-pause 0 \\\n"
    "                --list phones.txt --text-file message.txt\n"
    "  look first: the plan and what would be sent, nothing opened or written:\n"
    "    varnek-send --dry-run --port 3 --list phones.txt --text \"Привет\"\n"
    "  is the modem ready (SIM, network, signal)?\n"
    "    varnek-send --port 3 --probe\n"
    "  one list through three USB modems at once:\n"
    "    varnek-send --device /dev/ttyUSB0 --device /dev/ttyUSB2 --device /dev/ttyUSB4 \\\n"
    "                --list phones.txt --text-file message.txt\n"
    "  which port is the modem on?\n"
    "    varnek-send --list-ports\n"
    "  go on after a stop at \"3/5 ...\" (the third number again):\n"
    "    varnek-send --port 3 --list phones.txt --text-file message.txt --from 3\n"
    "  unattended: wait for the modem, give up after 30 failed captures in a row:\n"
    "    varnek-send --port 3 --wait-for-port --port-retries 30 --mask 7912345**** \\\n"
    "                --text-file message.txt\n";

}  // namespace

const char* UsageSynopsis() { return kUsage; }

// The literals are code page 1251, as every literal of the program; the
// console gets UTF-8.
std::string HelpText() {
  const std::string config = CEngine::GetConfigPath();
  const std::string where =
      "\nSettings file: " + platform::PathToUtf8(config) +
      "\n  read for port, speed, duplicate check and pauses, never written: the options\n"
      "  hold for this run only. \"logs\" and \"PHONES\" (the markers, unless MARKERS\n"
      "  or --markers names another folder) are beside it.\n"
      "COM numbers:\n  " + platform::ComNumbering() + ";\n  any other device with --device.\n\n";
  return std::string(kUsage) + platform::Cp1251ToUtf8(kOptions) + where +
         platform::Cp1251ToUtf8(kRunning);
}
