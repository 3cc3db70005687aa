// varnek-send and its port: a port that cannot be opened ends the run at
// once unless told to wait, failed captures may end it, the pacing of the
// PDU text, and the tasks that only look at the modem (--probe,
// --list-ports).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "platform/SerialDevice.h"
#include "send/posix/SendFolder.h"

namespace {

using namespace send_test;
using testing_support::SimProcess;

constexpr int kHeldPort = 77;

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

struct FailFastCase {
  const char* what;
  std::vector<std::string> port;  // the options that name port and speed
  std::string error;
  bool held = false;  // another program has the device
};

TEST(SendPort, APortThatCannotBeOpenedEndsTheRunAtOnceNamingTheDevice) {
  SendFolder folder;
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  platform::MapComPort(kHeldPort, sim.LinkPath());
  platform::SerialDevice holder;  // another program that has the modem
  const std::string missing = folder.File("ttyUSB7");
  const std::string link = sim.LinkPath();
  const FailFastCase cases[] = {
      {"missing",
       {"--device", missing},
       "cannot open COM99 (" + missing + "): No such file or directory"},
      {"no serial device",
       {"--device", "/dev/null"},
       "cannot open COM99 (/dev/null): not a serial device"},
      {"a folder",
       {"--device", folder.File("")},
       "cannot open COM99 (" + folder.File("") + "): Is a directory"},
      {"no device behind the number",
       {"--port", "300"},
       "cannot open COM300: no device has this COM number (COM1-32 = /dev/ttyS0-31"},
      {"held by another program",
       {"--device", link},
       "cannot open COM99 (" + link + "): in use by another program",
       true},
      {"a speed the system does not know",
       {"--device", link, "--baud", "12345"},
       "cannot open COM99 (" + link + ") at 12345 bit/s: the speed 12345 bit/s is not supported"},
      {"no port at all", {}, "no port to send through: give --port N or --device PATH"},
      {"one modem of a pool",
       {"--device", link, "--device", missing},
       "cannot open COM100 (" + missing + "): No such file or directory"},
  };
  for (const FailFastCase& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.held) {
      ASSERT_TRUE(holder.Open(kHeldPort));
    }
    std::vector<std::string> args = c.port;
    for (const char* more : {"--number", "79123456701", "--text", "Hi"}) args.push_back(more);
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = folder.Run(args);
    // At once, not after a capture's ten seconds (about 20 ms here).
    EXPECT_LT(MillisecondsSince(start), 2000);
    holder.Close();
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "varnek-send: " + c.error)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  platform::MapComPort(kHeldPort, "");
  EXPECT_TRUE(sim.Received().empty()) << sim.Transcript();
  EXPECT_FALSE(fs::exists(folder.File("logs")));
}

// --wait-for-port keeps trying every ten seconds; --port-retries ends that.
TEST(SendPort, WaitingForThePortEndsAfterTheFailedCapturesAllowed) {
  SendFolder folder;
  const std::string missing = folder.File("ttyUSB7");
  const auto start = std::chrono::steady_clock::now();
  const RunResult run =
      folder.Run({"--device", missing, "--wait-for-port", "--port-retries", "2", "--number",
                  "79123456701", "--number", "79123456702", "--text", "Hi"});
  const long long elapsed = MillisecondsSince(start);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(
      Contains(run.err, "No such file or directory: tried again every 10 s (--wait-for-port)"))
      << run.err;
  // "Ошибка порта, повторный запуск через 10 сек..." between the two captures.
  EXPECT_TRUE(Contains(run.err, kPortErrorUtf8 + ", ")) << run.err;
  EXPECT_TRUE(
      Contains(run.err, "2 failed captures of the modem in a row: the run ends (--port-retries 2)"))
      << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + kPortErrorUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "79123456702\t" + kAcceptedUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "varnek-send: 2 numbers left: go on with the same command and "
                                "--from 1\n"))
      << run.err;
  EXPECT_GE(elapsed, 9000) << "one countdown between the captures";
  EXPECT_LT(elapsed, 15000) << "no third capture";
}

struct PacingCase {
  std::vector<std::string> options;
  size_t minPieces;
  size_t maxPieces;
};

// The simulator reads what comes in as it comes: paced pieces arrive one
// by one, a single write in one read.
TEST(SendPort, PiecePauseZeroSendsThePduTextInOneWrite) {
  const std::string message(160, 'x');  // 309 characters of PDU text and Ctrl-Z: 10 pieces
  const PacingCase cases[] = {{{"--piece-pause", "0"}, 1, 1}, {{}, 10, 10}};
  for (const PacingCase& c : cases) {
    SendFolder folder;
    SimProcess sim(kSimPort);
    ASSERT_TRUE(sim.Started());
    std::vector<std::string> args = c.options;
    for (const char* more : {"--number", "79123456701", "--text"}) args.push_back(more);
    args.push_back(message);
    const RunResult run = folder.Run(Args(sim, args));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> in = sim.Received();
    size_t command = 0;
    while (command < in.size() && in[command].rfind("at+cmgs=", 0) != 0) ++command;
    ASSERT_LT(command, in.size()) << sim.Transcript();
    const size_t pieces = in.size() - command - 1;
    EXPECT_GE(pieces, c.minPieces) << sim.Transcript();
    EXPECT_LE(pieces, c.maxPieces) << sim.Transcript();
    ASSERT_EQ(sim.Submissions().size(), 1u);
    EXPECT_EQ(sim.Submissions()[0].answer, "ok 1");
  }
}

struct ProbeCase {
  const char* profile;  // "" for a ready modem
  int status;
  std::vector<std::string> lines;  // of the report
};

// The probe asks, and sets nothing: after the capture's "at+cmgf=0" only
// the seven queries go out.
TEST(SendPort, ProbeReportsAndJudgesTheModem) {
  const ProbeCase cases[] = {
      {"",
       0,
       {"maker           Varnek Labs\n", "SIM             ready\n",
        "network         registered, home network\n", "signal          -71 dBm, 4 of 4 bars\n",
        "operator        Varnek Mobile\n", "service centre  +79990000100\n",
        "verdict         ready to send\n"}},
      {"pin-locked",
       1,
       {"SIM             waits for its PIN\n",
        "service centre  refused: +CME ERROR: 11 (SIM PIN required)\n",
        "verdict         the SIM waits for its PIN\n"}},
      {"unregistered",
       1,
       {"network         not registered, searching\n",
        "signal          not known or not detectable\n",
        "verdict         not registered with a network (searching)\n"}},
      {"no-queries",
       0,
       {"maker           not supported\n", "SIM             not supported\n",
        "verdict         ready to send, as far as it tells: it answers AT, but not on SIM, network "
        "or "
        "signal\n"}},
  };
  const std::vector<std::string> queries = {"AT+CGMI\\r",  "AT+CGMM\\r", "AT+CPIN?\\r",
                                            "AT+CREG?\\r", "AT+CSQ\\r",  "AT+COPS?\\r",
                                            "AT+CSCA?\\r"};
  for (const ProbeCase& c : cases) {
    SCOPED_TRACE(c.profile);
    SendFolder folder;
    std::vector<std::string> simArgs;
    if (*c.profile != '\0') simArgs = {"--profile", c.profile};
    SimProcess sim(kSimPort, simArgs);
    ASSERT_TRUE(sim.Started());
    const RunResult run = folder.Run({"--device", sim.LinkPath(), "--baud", "115200", "--probe"});
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err, "trying COM99 (" + sim.LinkPath() + ") at 115200 bit/s\n");
    EXPECT_EQ(run.out.rfind("port            COM99 (" + sim.LinkPath() + "), 115200 bit/s\n", 0),
              0u)
        << run.out;
    for (const std::string& line : c.lines) EXPECT_TRUE(Contains(run.out, line)) << run.out;
    const std::vector<std::string> in = sim.Received();
    const auto mode = std::find(in.begin(), in.end(), "at+cmgf?\\r");  // the capture's last
    ASSERT_NE(mode, in.end()) << sim.Transcript();
    EXPECT_EQ(std::vector<std::string>(mode + 1, in.end()), queries);
    EXPECT_TRUE(sim.Submissions().empty());
  }
}

// Every modem of a pool is probed, one report after another; the status is
// the worst.
TEST(SendPort, ProbeAsksEveryModemOfAPool) {
  SendFolder folder;
  SimProcess ready(kSimPort);
  SimProcess locked(kSimPort + 1, {"--profile", "pin-locked"});
  ASSERT_TRUE(ready.Started());
  ASSERT_TRUE(locked.Started());
  const RunResult run =
      folder.Run({"--device", ready.LinkPath(), "--device", locked.LinkPath(), "--probe"});
  EXPECT_EQ(run.status, 1) << run.err;
  const std::string first = "port            COM99 (" + ready.LinkPath() + ")";
  const std::string second = "port            COM100 (" + locked.LinkPath() + ")";
  EXPECT_EQ(run.out.rfind(first, 0), 0u) << run.out;
  EXPECT_TRUE(Contains(run.out, "verdict         ready to send\n\n" + second)) << run.out;
  EXPECT_TRUE(Contains(run.out, "verdict         the SIM waits for its PIN\n")) << run.out;
}

TEST(SendPort, ListPortsNamesTheModemsThatAnswer) {
  SendFolder folder;
  SimProcess sim(kSimPort);
  SimProcess other(kSimPort + 1);
  ASSERT_TRUE(sim.Started());
  ASSERT_TRUE(other.Started());
  const RunResult run =
      folder.Run({"--device", sim.LinkPath(), "--device", other.LinkPath(), "--list-ports"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("PORT    DEVICE                   DRIVER           ANSWER\n"), std::string::npos)
      << run.out;
  const std::pair<std::string, std::string> devices[] = {{"COM99 ", sim.LinkPath()},
                                                         {"COM100 ", other.LinkPath()}};
  for (const auto& device : devices) {
    std::istringstream lines(run.out);
    std::string line;
    bool listed = false;
    while (std::getline(lines, line)) {
      if (line.rfind(device.first, 0) != 0) continue;
      listed = true;
      EXPECT_TRUE(Contains(line, " " + device.second + " ")) << line;
      EXPECT_TRUE(Contains(line, "answers as a modem at the port's own speed")) << line;
    }
    EXPECT_TRUE(listed) << device.first << run.out;
    EXPECT_TRUE(Contains(run.err, "trying " + device.first.substr(0, device.first.size() - 1) + " (" +
                                      device.second + ") at the port's own speed\n"))
        << run.err;
  }
}

}  // namespace
