#include "tools/varnek-send/SendJob.h"

#include <cstdio>

#include "engine/MainFrameInterface.h"
#include "platform/Interrupt.h"
#include "platform/XmlDocument.h"
#include "tools/varnek-send/MarkerWatch.h"
#include "tools/varnek-send/ModemPorts.h"
#include "tools/varnek-send/SendInput.h"
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
  std::vector<std::string> notes;
  std::string warning;
  std::string error;
  // Every file is read before the engine exists, so that a bad one leaves
  // nothing behind.
  const bool ready = input.Read(notes, error) && CheckSettingsFile(warning, error);
  for (const std::string& note : notes) Complain(note);
  if (!ready) {
    Complain(error);
    return send_report::kBadUsage;
  }
  if (!warning.empty()) Complain(warning);
  std::string message = input.Message();
  if (!PrepareMessage(message)) return send_report::kBadUsage;

  CEngine& engine = GetEngine();
  ApplySettings(engine);
  input.AppendSources(engine);
  const int status = CheckList(engine) ? Deliver(engine, message) : send_report::kBadUsage;
  // The options held for this run only: the file stays as the operator left
  // it, byte for byte.
  engine.Teardown(SettingsAtTeardown::Keep);
  return status;
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
}

bool CSendJob::CheckList(const CEngine& engine) const {
  const size_t size = engine.m_items.size();
  if (size == 0) {
    Complain("the list holds no numbers: nothing to send");
    return false;
  }
  if (static_cast<size_t>(m_options.m_from) >= size) {
    Complain("--from " + std::to_string(m_options.m_from) + " is past the end of the list (" +
             std::to_string(size) + " numbers, the last index is " + std::to_string(size - 1) + ")");
    return false;
  }
  return true;
}

int CSendJob::Deliver(CEngine& engine, const std::string& message) const {
  CConsoleFrame frame(engine, stderr);
  CMarkerWatch watch(engine, frame);
  watch.CheckFolder();
  engine.m_message = message;
  engine.m_position = m_options.m_from;
  platform::CatchInterrupts();
  g_pMainFrame = &watch;
  if (engine.StartDelivery() == nullptr) {
    g_pMainFrame = nullptr;
    Complain("cannot start the delivery thread");
    return send_report::kNotDelivered;
  }
  WaitForWorker(engine, frame);
  g_pMainFrame = nullptr;
  send_report::PrintTable(engine.m_items, stdout);
  if (platform::InterruptCount() > 0) return send_report::InterruptedStatus(platform::FirstInterrupt());
  return send_report::DeliveryStatus(engine.m_items, static_cast<size_t>(m_options.m_from));
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
