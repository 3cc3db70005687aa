#include "tools/varnek-send/SendJob.h"

#include <algorithm>
#include <cstdio>

#include "engine/MainFrameInterface.h"
#include "modem/Log.h"
#include "platform/CommandLine.h"
#include "platform/Interrupt.h"
#include "platform/XmlDocument.h"
#include "tools/varnek-send/MarkerWatch.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/PortListing.h"
#include "tools/varnek-send/PortRetryLimit.h"
#include "tools/varnek-send/ProbeReport.h"
#include "tools/varnek-send/SendPlan.h"
#include "tools/varnek-send/SendReport.h"
#include "tools/varnek-send/SettingsFile.h"

namespace {

// The window's editor holds at most this many characters.
constexpr size_t kMaxMessageLength = 498;
constexpr uint32_t kInterruptPollMs = 50;

void Complain(const std::string& text) { std::fprintf(stderr, "varnek-send: %s\n", text.c_str()); }

}  // namespace

int CSendJob::Run() {
  const platform::XmlThread xml;  // the settings file is XML
  CSendInput input(m_options);
  std::string message;
  bool settingsRead = false;
  if (!ReadInputs(input, message, settingsRead)) return send_report::kBadUsage;
  CEngine& engine = GetEngine();
  ApplySettings(engine);
  const int status =
      PortTask() ? RunPortTask(engine) : RunDelivery(engine, input, message, settingsRead);
  // The options held for this run only: the file stays as the operator left
  // it, byte for byte.
  engine.Teardown(SettingsAtTeardown::Keep);
  return status;
}

bool CSendJob::ReadInputs(CSendInput& input, std::string& message, bool& settingsRead) const {
  std::vector<std::string> notes;
  std::string warning;
  std::string error;
  // Every file is read before the engine exists, so that a bad one leaves
  // nothing behind.
  const bool ready = (PortTask() || input.Read(notes, error)) && CheckSettingsFile(warning, error);
  for (const std::string& note : notes) Complain(note);
  if (!ready) {
    Complain(error);
    return false;
  }
  if (!warning.empty()) Complain(warning);
  settingsRead = warning.empty();
  if (PortTask()) return true;
  message = input.Message();
  return PrepareMessage(message);
}

bool CSendJob::PrepareMessage(std::string& message) const {
  if (message.empty()) {
    Complain("the message is empty: nothing to send");
    return false;
  }
  if (message.size() > kMaxMessageLength) {
    message.resize(kMaxMessageLength);
    Complain("the message is cut to " + std::to_string(kMaxMessageLength) + " characters");
  }
  return true;
}

void CSendJob::ApplySettings(CEngine& engine) const {
  UseModemPorts(ModemPorts(m_options.m_ports, m_options.m_devices), engine);
  if (m_options.m_baudRate) engine.m_baudRate = *m_options.m_baudRate;
  if (m_options.m_check) engine.m_checkDuplicates = *m_options.m_check ? 1 : 0;
  if (m_options.m_minPause) engine.m_minPause = *m_options.m_minPause;
  if (m_options.m_maxPause) engine.m_maxPause = *m_options.m_maxPause;
  if (m_options.m_piecePause) engine.m_piecePause = static_cast<uint32_t>(*m_options.m_piecePause);
  if (m_options.m_markers) engine.m_markerFolder = platform::PathFromUtf8(*m_options.m_markers);
  engine.m_resendUnconfirmed = m_options.m_resendUnconfirmed;
}

// The ports' tries are announced on stderr, beside the other progress; the
// findings go to stdout.
int CSendJob::RunPortTask(const CEngine& engine) const {
  if (m_options.m_listPorts) {
    std::vector<int> mapped;
    for (const CModemPort& modem : ModemPorts(m_options.m_ports, m_options.m_devices)) {
      if (!modem.m_device.empty()) mapped.push_back(modem.m_port);
    }
    return ListPorts(engine.m_baudRate, mapped, stdout, stderr);
  }
  std::vector<std::string> errors;
  const int status = ProbePorts(PortsOfRun(engine), engine.m_baudRate, stdout, stderr, errors);
  for (const std::string& error : errors) Complain(error);
  return status;
}

int CSendJob::RunDelivery(CEngine& engine, const CSendInput& input, const std::string& message,
                          bool settingsRead) const {
  const std::vector<CSourceItems> sources = input.AppendSources(engine);
  if (!CheckList(engine)) return send_report::kBadUsage;
  engine.m_message = message;
  const CSendPlan plan(m_options, engine, sources, settingsRead);
  if (!m_options.m_quiet) plan.PrintPlan(stderr);
  plan.PrintWarnings(stderr);
  if (m_options.m_dryRun) return DryRun(engine, plan);
  if (!PortReady(engine)) return send_report::kBadUsage;
  return Deliver(engine);
}

bool CSendJob::CheckList(const CEngine& engine) const {
  const size_t size = engine.m_items.size();
  if (size == 0) {
    Complain("the list holds no numbers: nothing to send");
    return false;
  }
  if (static_cast<size_t>(m_options.m_from) > size) {
    Complain("--from " + std::to_string(m_options.m_from) + " is past the end of the list (" +
             std::to_string(size) + " numbers, counted from 1)");
    return false;
  }
  return true;
}

int CSendJob::DryRun(CEngine& engine, const CSendPlan& plan) const {
  plan.Predict(engine.m_items);
  send_report::PrintTable(engine.m_items, stdout);
  return send_report::PredictedStatus(engine.m_items, static_cast<size_t>(m_options.m_from - 1));
}

bool CSendJob::PortReady(const CEngine& engine) const {
  // Every modem's port: one that cannot be opened is named, each of them.
  bool ready = true;
  for (int port : PortsOfRun(engine)) {
    std::string error;
    if (CheckPort(port, engine.m_baudRate, error)) continue;
    ready = false;
    Complain(m_options.m_waitForPort ? error + ": tried again every 10 s (--wait-for-port)" : error);
  }
  return ready || m_options.m_waitForPort;
}

int CSendJob::Deliver(CEngine& engine) const {
  CConsoleFrame frame(engine, stderr);
  CMarkerWatch watch(engine, frame);
  CPortRetryLimit retries(engine, watch, frame, m_options.m_portRetries);
  // The check never goes off by itself: a folder that takes no claim ends
  // the run before the first number.
  if (!watch.CheckFolder()) return send_report::kBadUsage;
  std::string logFailure;
  if (!GetLog().CheckWritable(logFailure)) {
    Complain("the logs cannot be written in " + platform::PathToUtf8(CLog::Folder()) + ": " +
             logFailure);
  }
  const size_t first = static_cast<size_t>(m_options.m_from - 1);
  engine.m_position = static_cast<int32_t>(first);
  platform::CatchInterrupts();
  g_pMainFrame = &retries;
  if (engine.StartDelivery() == nullptr) {
    g_pMainFrame = nullptr;
    Complain("cannot start the delivery thread");
    return send_report::kNotDelivered;
  }
  WaitForWorker(engine, frame);
  g_pMainFrame = nullptr;
  send_report::PrintTable(engine.m_items, stdout);
  if (platform::InterruptCount() > 0) {
    return send_report::InterruptedStatus(platform::FirstInterrupt());
  }
  return send_report::DeliveryStatus(engine.m_items, first);
}

void CSendJob::WaitForWorker(CEngine& engine, CConsoleFrame& frame) const {
  // A request of any kind stops after the number in hand; any further one
  // also cuts a pause or a countdown short. A message on the line is always
  // finished: a cut multipart message would reach the phone in pieces, with
  // no marker and no outcome for it.
  int handled = 0;
  while (!engine.WaitForWorker(kInterruptPollMs)) {
    const int count = platform::InterruptCount();
    if (count >= 1 && handled < 1) {
      frame.Note(std::string(send_report::InterruptName(platform::FirstInterrupt())) +
                 ": stopping after the number in hand (Ctrl-C again to cut a pause short)");
      engine.StopDelivery();
    }
    if (count >= 2 && handled < 2) {
      frame.Note("shutting down: the modem operation in hand ends, then the program");
      engine.BeginShutdown();
    }
    handled = count;
  }
}
