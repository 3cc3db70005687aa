#include "tools/varnek-send/SendJob.h"

#include <algorithm>
#include <cstdio>

#include "engine/MainFrameInterface.h"
#include "modem/Log.h"
#include "modem/Pdu.h"
#include "platform/CommandLine.h"
#include "platform/Interrupt.h"
#include "platform/XmlDocument.h"
#include "tools/varnek-send/LeftFile.h"
#include "tools/varnek-send/MarkerWatch.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/PortListing.h"
#include "tools/varnek-send/PortRetryLimit.h"
#include "tools/varnek-send/ProbeReport.h"
#include "tools/varnek-send/ReportTasks.h"
#include "tools/varnek-send/SendMessages.h"
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
  for (const std::string& note : SettingNotes(engine)) Complain(note);
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
    Complain(Say(Msg::MessageEmpty));
    return false;
  }
  if (message.size() > kMaxMessageLength) {
    message.resize(kMaxMessageLength);
    Complain(Say(Msg::MessageCut, {std::to_string(kMaxMessageLength)}));
  }
  // "€" alone, say: the phones would get an empty message.
  if (pdu::CleanMessage(message.c_str()).empty()) {
    Complain(Say(Msg::MessageCleansToNothing));
    return false;
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
  if (m_options.m_reports) engine.m_requestReports = *m_options.m_reports ? 1 : 0;
  // Waiting for reports asks for them.
  if (m_options.m_waitReports > 0) engine.m_requestReports = 1;
  if (m_options.m_smsc) engine.m_smsc = *m_options.m_smsc;
  if (m_options.m_confirmWait) {
    engine.m_confirmLimitMs = static_cast<uint32_t>(*m_options.m_confirmWait) * 1000u;
  }
}

// The ports' tries are announced on stderr, beside the other progress; the
// findings go to stdout.
int CSendJob::RunPortTask(CEngine& engine) const {
  if (m_options.m_inbox) return PrintInbox(stdout, stderr);
  if (m_options.m_collect) return Collect(engine);
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
  // No port at all is refused before the plan, by a dry run too, and not
  // waited for: no device will ever appear for it.
  if (!CheckList(engine) || !PortsNamed(engine)) return send_report::kBadUsage;
  engine.m_message = message;
  const CSendPlan plan(m_options, engine, sources, settingsRead);
  if (!m_options.m_quiet) plan.PrintPlan(stderr);
  plan.PrintWarnings(stderr);
  if (m_options.m_dryRun) return DryRun(engine, plan);
  if (!PortReady(engine)) return send_report::kBadUsage;
  return Deliver(engine);
}

int CSendJob::Collect(CEngine& engine) const {
  if (!PortsNamed(engine) || !PortReady(engine)) return send_report::kBadUsage;
  CConsoleFrame frame(engine, stderr);
  platform::CatchInterrupts();
  g_pMainFrame = &frame;
  const bool listened = ListenForReports(engine, frame, m_options.m_waitReports, false);
  g_pMainFrame = nullptr;
  if (!listened) {
    Complain(Say(Msg::NoDeliveryThread));
    return send_report::kNotDelivered;
  }
  SayCollected(engine, frame);
  return 0;
}

bool CSendJob::CheckList(const CEngine& engine) const {
  const size_t size = engine.m_items.size();
  if (size == 0) {
    Complain(Say(Msg::ListEmpty));
    return false;
  }
  if (static_cast<size_t>(m_options.m_from) > size) {
    Complain(Say(Msg::FromPastEnd, {std::to_string(m_options.m_from), std::to_string(size)}));
    return false;
  }
  return true;
}

int CSendJob::DryRun(CEngine& engine, const CSendPlan& plan) const {
  // The numbers before --from are no part of the run.
  const size_t first = static_cast<size_t>(m_options.m_from - 1);
  plan.Predict(engine.m_items);
  send_report::PrintTable(engine.m_items, first, false, stdout);
  return send_report::PredictedStatus(engine.m_items, first);
}

bool CSendJob::PortsNamed(const CEngine& engine) const {
  for (int port : PortsOfRun(engine)) {
    std::string error;
    if (port == 0 && !CheckPort(port, engine.m_baudRate, error)) {
      Complain(error);
      return false;
    }
  }
  return true;
}

bool CSendJob::PortReady(const CEngine& engine) const {
  // Every modem's port: one that cannot be opened is named, each of them.
  bool ready = true;
  for (int port : PortsOfRun(engine)) {
    std::string error;
    if (CheckPort(port, engine.m_baudRate, error)) continue;
    ready = false;
    Complain(m_options.m_waitForPort ? Say(Msg::PortTriedAgain, {error}) : error);
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
    Complain(Say(Msg::LogsNotWritable, {platform::PathToUtf8(CLog::Folder()), logFailure}));
  }
  const size_t first = static_cast<size_t>(m_options.m_from - 1);
  engine.m_position = static_cast<int32_t>(first);
  platform::CatchInterrupts();
  g_pMainFrame = &retries;
  if (engine.StartDelivery() == nullptr) {
    g_pMainFrame = nullptr;
    Complain(Say(Msg::NoDeliveryThread));
    return send_report::kNotDelivered;
  }
  WaitForWorker(engine, frame);
  const bool listen = m_options.m_waitReports > 0 && platform::InterruptCount() == 0;
  if (listen && !ListenForReports(engine, frame, m_options.m_waitReports, true)) {
    Complain(Say(Msg::NoDeliveryThread));
  }
  g_pMainFrame = nullptr;
  Report(engine, first);
  if (engine.m_requestReports != 0) SayCollected(engine, frame);
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
      frame.Note(Say(Msg::StoppingAfterNumber,
                     {send_report::InterruptName(platform::FirstInterrupt())}));
      engine.StopDelivery();
    }
    if (count >= 2 && handled < 2) {
      frame.Note(Say(Msg::ShuttingDown));
      engine.BeginShutdown();
    }
    handled = count;
  }
}

void CSendJob::Report(const CEngine& engine, size_t first) const {
  // The whole list, as the window shows it: a script may count its lines.
  send_report::PrintTable(engine.m_items, 0, engine.m_requestReports != 0, stdout);
  const std::vector<int> ports = PortsOfRun(engine);
  if (ports.size() > 1) {
    std::vector<std::string> names;
    for (int port : ports) names.push_back(PortName(port));
    send_report::PrintModemCounts(engine.m_items, ports, names, stdout);
  }
  SayWhatIsLeft(engine, first);
}

void CSendJob::SayWhatIsLeft(const CEngine& engine, size_t first) const {
  const send_report::CLeftOver left = send_report::LeftOver(engine.m_items, first);
  const std::string& file = m_options.m_left;
  if (!file.empty()) {
    if (WriteLeftFile(file, send_report::LeftList(engine.m_items, first))) {
      Complain(left.m_count == 0 ? Say(Msg::LeftNone, {file})
                                 : SayCount(Msg::LeftWritten, left.m_count, {file}));
      return;
    }
    Complain(Say(Msg::LeftCannotWrite, {file}));
  }
  const std::string advice = send_report::Advice(left, engine.m_checkDuplicates != 0);
  if (!advice.empty()) Complain(advice);
}
