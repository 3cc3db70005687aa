#include "support/SimProcess.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

namespace testing_support {

namespace {

constexpr int kReadyLimitMs = 5000;
constexpr int kPollMs = 5;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace

std::string SimSubmission::Mark(const std::string& key) const {
  const auto mark = marks.find(key);
  return mark == marks.end() ? std::string() : mark->second;
}

std::vector<SimSubmission> ParseSimRecord(const std::string& contents) {
  std::vector<SimSubmission> result;
  std::istringstream lines(contents);
  std::string line;
  while (std::getline(lines, line)) {
    // The memory's event lines begin with a word.
    if (line.empty() || line[0] < '0' || line[0] > '9') continue;
    std::istringstream fields(line);
    SimSubmission s;
    std::string index, announced, mark;
    if (!std::getline(fields, index, '\t') || !std::getline(fields, announced, '\t') ||
        !std::getline(fields, s.pdu, '\t') || !std::getline(fields, s.answer, '\t')) {
      continue;
    }
    s.index = std::atoi(index.c_str());
    s.announcedLength = std::atoi(announced.c_str());
    while (std::getline(fields, mark, '\t')) {
      const size_t equals = mark.find('=');
      s.marks[mark.substr(0, equals)] = equals == std::string::npos ? "" : mark.substr(equals + 1);
    }
    result.push_back(s);
  }
  return result;
}

std::vector<SimMemoryEvent> ParseSimEvents(const std::string& contents) {
  std::vector<SimMemoryEvent> result;
  std::istringstream lines(contents);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || (line[0] >= '0' && line[0] <= '9')) continue;
    std::istringstream fields(line);
    SimMemoryEvent e;
    std::string index;
    if (std::getline(fields, e.event, '\t') && std::getline(fields, e.memory, '\t') &&
        std::getline(fields, index, '\t') && std::getline(fields, e.kind, '\t') &&
        std::getline(fields, e.pdu)) {
      e.index = std::atoi(index.c_str());
      result.push_back(e);
    }
  }
  return result;
}

SimProcess::SimProcess(int comNumber, std::vector<std::string> extraArgs)
    : m_comNumber(comNumber) {
  if (!MakeFolder()) return;
  m_link = LinkFor(comNumber);
  if (m_link.empty()) return;
  std::vector<std::string> args = {"--link",       m_link,
                                   "--record",     UnixFile("record.txt"),
                                   "--transcript", UnixFile("transcript.txt"),
                                   "--ready-file", UnixFile("ready"),
                                   "--stop-file",  UnixFile("stop"),
                                   "--max-seconds", "300"};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  m_spawned = Spawn(args);
  if (!m_spawned) return;
  m_started = WaitReady();
  if (m_started) MapPort(true);
}

SimProcess::~SimProcess() {
  if (m_started) MapPort(false);
  if (m_spawned) Stop();
  std::error_code ignored;
  if (!m_localFolder.empty()) std::filesystem::remove_all(m_localFolder, ignored);
}

bool SimProcess::WaitReady() {
  std::string ready = LocalFile("ready");
  for (int waited = 0; waited < kReadyLimitMs; waited += kPollMs) {
    if (Exists(ready)) return true;
    if (!Running()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return false;
}

std::vector<SimSubmission> SimProcess::Submissions() const {
  return ParseSimRecord(ReadAll(LocalFile("record.txt")));
}

std::vector<SimMemoryEvent> SimProcess::MemoryEvents() const {
  return ParseSimEvents(ReadAll(LocalFile("record.txt")));
}

std::string SimProcess::Transcript() const { return ReadAll(LocalFile("transcript.txt")); }

std::vector<std::string> SimProcess::Received() const {
  std::vector<std::string> pieces;
  std::istringstream transcript(Transcript());
  std::string line;
  while (std::getline(transcript, line)) {
    if (line.rfind("IN  ", 0) == 0) pieces.push_back(line.substr(4));
  }
  return pieces;
}

// The destination of an SMS-SUBMIT PDU in hex (TS 23.040 9.2.2.2): after the
// service-centre length 00, the first octet and TP-MR comes TP-DA, its length
// in digits, its type of address, then the digits in swapped pairs with an F
// filling the last.
std::string DestinationOf(const std::string& pdu) {
  if (pdu.size() < 10) return std::string();
  const size_t digits = std::stoul(pdu.substr(6, 2), nullptr, 16);
  std::string number;
  for (size_t i = 10; i + 1 < pdu.size() && number.size() < digits; i += 2) {
    number += pdu[i + 1];
    number += pdu[i];
  }
  number.resize(std::min(number.size(), digits));
  return number;
}

}  // namespace testing_support
