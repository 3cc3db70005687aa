// Figures of the main window's phone list: a list file of 100,000 and of
// 1,000,000 numbers loaded as "Открыть из файла..." loads it (the engine's
// reading, then the view's fill), the memory the filled view holds, and one
// state change reported from a delivery thread while the window's thread
// runs its messages, as during a delivery.
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "platform/ProcessMemory.h"
#include "support/TempDir.h"
#include "ui/MainFrm.h"
#include "ui/framework/AppModule.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Megabytes(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void WriteList(const std::string& path, size_t count) {
  std::ofstream list(path, std::ios::binary);
  char line[64];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "7%010zu текст %zu\r\n", i, i % 1000);
    list << line;
  }
}

// Changes reported one after another from a thread of their own, each
// timed there, while this thread handles what the reports send it: every
// other change makes a number the one in hand, which the list scrolls to
// (times[0]); the others give a number its outcome (times[1]). Sorted.
struct ChangeTimes {
  std::vector<double> times[2];
};

ChangeTimes ChangesFromDeliveryThread(CEngine& engine, size_t count, int rounds) {
  ChangeTimes changes;
  std::atomic<bool> done{false};
  std::thread delivery([&] {
    for (int round = 0; round < 2 * rounds; ++round) {
      const size_t index = (static_cast<size_t>(round / 2) * 7919) % count;
      engine.m_items[index].m_state = round % 2 ? Sent : Sending;
      const auto start = Clock::now();
      g_pMainFrame->OnListChanged(index);
      changes.times[round % 2].push_back(MillisecondsSince(start));
    }
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT | QS_SENDMESSAGE);
    Pump();
  }
  delivery.join();
  Pump();
  for (std::vector<double>& times : changes.times) std::sort(times.begin(), times.end());
  return changes;
}

void Measure(CMainFrame& frame, const testing_support::TempDir& folder, size_t count, int rounds) {
  const std::string path = folder.File("list-" + std::to_string(count) + ".txt");
  WriteList(path, count);
  CEngine& engine = GetEngine();
  engine.ClearList();
  frame.m_list.FillFromEngine();
  Pump();
  const uint64_t before = platform::ProcessResidentBytes();

  auto start = Clock::now();
  engine.LoadListFile(path.c_str());
  const double read = MillisecondsSince(start);
  const uint64_t afterRead = platform::ProcessResidentBytes();
  start = Clock::now();
  frame.m_list.FillFromEngine();
  const double fill = MillisecondsSince(start);
  Pump();
  const double shown = MillisecondsSince(start);
  const uint64_t afterFill = platform::ProcessResidentBytes();

  const ChangeTimes changes = ChangesFromDeliveryThread(engine, count, rounds);
  std::printf("%zu numbers: engine read %.0f ms (%.1f MB), view fill %.0f ms, painted after %.0f ms, "
              "view memory %.1f MB\n",
              count, read, Megabytes(afterRead - before), fill, shown, Megabytes(afterFill - afterRead));
  const char* kinds[] = {"a number taken (the list follows it)", "a number's outcome"};
  for (int kind = 0; kind < 2; ++kind) {
    const std::vector<double>& times = changes.times[kind];
    if (times.empty()) continue;
    std::printf("%zu numbers: one state change from a delivery thread, %s: %.2f ms (median of %d, "
                "worst %.2f)\n",
                count, kinds[kind], times[times.size() / 2], rounds, times.back());
  }
  std::fflush(stdout);
}

}  // namespace

// Usage: bench_ui [rounds]   (state changes timed per list size; 20 unless given)
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  CoInitialize(nullptr);
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  CMessageLoop loop;
  GetAppModule().AddMessageLoop(&loop);
  GetEngine();
  CMainFrame frame;
  if (!frame.CreateMainWindow()) return 1;
  frame.ShowWindow(SW_SHOW);
  Pump();
  for (size_t count : {size_t{100000}, size_t{1000000}}) Measure(frame, folder, count, rounds);
  GetEngine().ClearList();
  frame.DestroyWindow();
  Pump();
  GetAppModule().RemoveMessageLoop();
  GetEngine().Teardown();
  CoUninitialize();
  return 0;
}
