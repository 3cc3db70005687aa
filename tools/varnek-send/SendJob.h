#pragma once
// One run of varnek-send: the inputs read and checked, the engine set up for
// this run only (the settings file is never written), the plan, the port
// opened once, the delivery with its stop requests (Ctrl-C, SIGTERM, SIGHUP,
// the console closing), the outcome, and the reports listened for after the
// last number. Or one of the tasks that send nothing: --probe, --list-ports,
// --collect, --inbox.
#include <string>

#include "engine/Engine.h"
#include "tools/varnek-send/ConsoleFrame.h"
#include "tools/varnek-send/SendInput.h"
#include "tools/varnek-send/SendOptions.h"

class CSendPlan;

class CSendJob {
 public:
  explicit CSendJob(const CSendOptions& options) : m_options(options) {}

  // The exit status (send_report's constants). Uses GetEngine: once per
  // process.
  int Run();

 private:
  bool PortTask() const { return m_options.ModemTask(); }
  // Every file the run reads, before the engine exists. settingsRead: the
  // settings file, when there is one, gave settings.
  bool ReadInputs(CSendInput& input, std::string& message, bool& settingsRead) const;
  bool PrepareMessage(std::string& message) const;
  void ApplySettings(CEngine& engine) const;
  int RunPortTask(CEngine& engine) const;
  // --collect: the modems' memories read, then listened to for --wait-reports.
  int Collect(CEngine& engine) const;
  int RunDelivery(CEngine& engine, const CSendInput& input, const std::string& message,
                  bool settingsRead) const;
  bool CheckList(const CEngine& engine) const;
  int DryRun(CEngine& engine, const CSendPlan& plan) const;
  // Every modem of the run has a port, without opening any.
  bool PortsNamed(const CEngine& engine) const;
  // The port opened once before the first number; false when the run ends
  // there.
  bool PortReady(const CEngine& engine) const;
  int Deliver(CEngine& engine) const;
  // Polls the stop requests until the worker has ended.
  void WaitForWorker(CEngine& engine, CConsoleFrame& frame) const;
  // The table with its counts per modem, then what is left and how to go on.
  void Report(const CEngine& engine, size_t first) const;
  void SayWhatIsLeft(const CEngine& engine, size_t first) const;

  const CSendOptions& m_options;
};
