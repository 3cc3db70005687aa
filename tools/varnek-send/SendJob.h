#pragma once
// One run of varnek-send: the inputs read and checked, the engine set up for
// this run only (the settings file is never written), the delivery with its
// stop requests (Ctrl-C, SIGTERM, SIGHUP, the console closing), the outcome.
#include <string>

#include "engine/Engine.h"
#include "tools/varnek-send/ConsoleFrame.h"
#include "tools/varnek-send/SendOptions.h"

class CSendJob {
 public:
  explicit CSendJob(const CSendOptions& options) : m_options(options) {}

  // The exit status (send_report's constants). Uses GetEngine: once per
  // process.
  int Run();

 private:
  bool PrepareMessage(std::string& message) const;
  void ApplySettings(CEngine& engine) const;
  bool CheckList(const CEngine& engine) const;
  int Deliver(CEngine& engine, const std::string& message) const;
  // Polls the stop requests until the worker has ended.
  void WaitForWorker(CEngine& engine, CConsoleFrame& frame) const;

  const CSendOptions& m_options;
};
