#pragma once
// The worker's window for a console: progress lines on a stream (stderr).
// Every status text goes out as it is, and each change of an item's state as
// "i/N number state", i counting from 1, followed by ": " and the modem's
// reason when it refused the message; a status report that changes what a
// sent number shows ("Доставлен", "Не доставлен" and its cause) the same way.
// Output is UTF-8.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"

class CConsoleFrame final : public IMainFrame {
 public:
  // Takes the items' present states as the ones seen last.
  CConsoleFrame(const CEngine& engine, std::FILE* out);

  // The delivery's threads, several at once with a pool of modems, and
  // OnStatusText also from the thread that stops a delivery: one line at a
  // time under the frame's own lock.
  void OnListChanged(size_t index) override;
  void OnStatusText(const char* text) override;
  void OnDeliveryStarted() override {}
  void OnDeliveryFinished() override {}

  // A line of the tool's own (UTF-8), kept apart from the worker's lines.
  void Note(const std::string& text);

 private:
  void PrintLine(const std::string& utf8);
  void PrintLocked(const std::string& utf8);

  const CEngine& m_engine;
  std::FILE* m_out;
  std::mutex m_lock;  // one line at a time, and m_lastShown
  std::vector<const char*> m_lastShown;  // ItemStateText per item
};
