// Figures of the phone list view under a real window: filling 10,000 rows
// and one status update on them, from the window's thread and from a worker
// thread as a delivery does it.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/TempDir.h"
#include "ui/VarnekListView.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class CBenchFrame : public CWindowImpl<CBenchFrame, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
 public:
  bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// UpdateStates from a worker while this thread runs the messages it sends.
double UpdateFromWorker(CVarnekListView& list, CEngine& engine) {
  std::atomic<bool> done{false};
  double elapsed = 0;
  std::thread worker([&] {
    const auto start = Clock::now();
    list.UpdateStates(engine);
    elapsed = MillisecondsSince(start);
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT | QS_SENDMESSAGE);
    Pump();
  }
  worker.join();
  return elapsed;
}

}  // namespace

int main() {
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  CEngine engine;
  engine.GenerateFromMask("7916123****");
  const size_t rows = engine.m_items.size();

  CBenchFrame frame;
  const RECT frameRect{0, 0, 640, 480};
  frame.Create(nullptr, &frameRect, L"bench_ui");
  CVarnekListView list;
  const RECT listRect{0, 0, 640, 480};
  list.Create(frame, &listRect, nullptr,
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT | LVS_SHOWSELALWAYS);
  Pump();

  auto start = Clock::now();
  list.FillFromEngine(engine);
  const double fill = MillisecondsSince(start);
  Pump();
  std::printf("FillFromEngine, %zu rows: %.1f ms\n", rows, fill);

  constexpr int kRounds = 20;
  double window = 0;
  double worker = 0;
  double worst = 0;
  for (int round = 0; round < kRounds; ++round) {
    engine.m_items[static_cast<size_t>(round) * 37 % rows].m_state = Sent;
    start = Clock::now();
    list.UpdateStates(engine);
    window += MillisecondsSince(start);
    engine.m_items[static_cast<size_t>(round) * 53 % rows].m_state = Sending;
    const double fromWorker = UpdateFromWorker(list, engine);
    worker += fromWorker;
    if (fromWorker > worst) worst = fromWorker;
  }
  std::printf("UpdateStates, %zu rows, one change, window thread: %.1f ms (mean of %d)\n", rows,
              window / kRounds, kRounds);
  std::printf("UpdateStates, %zu rows, one change, worker thread: %.1f ms (mean of %d, worst %.1f)\n",
              rows, worker / kRounds, kRounds, worst);

  start = Clock::now();
  list.AutoSizeColumns();
  std::printf("AutoSizeColumns alone, %zu rows: %.1f ms\n", rows, MillisecondsSince(start));

  list.DestroyWindow();
  frame.DestroyWindow();
  return 0;
}
