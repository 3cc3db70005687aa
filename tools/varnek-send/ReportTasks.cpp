#include "tools/varnek-send/ReportTasks.h"

#include <atomic>
#include <string>
#include <thread>

#include "engine/RepliesFile.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Interrupt.h"
#include "tools/varnek-send/SendMessages.h"

namespace {

constexpr uint32_t kInterruptPollMs = 50;
// The whole list is looked through for the last report this often.
constexpr int kPollsPerReportLook = 20;

// A reply's text on one line: its line breaks would split the record.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return text;
}

// Every number sent has its last word: delivered or never to be.
bool AllReported(const CEngine& engine) {
  for (size_t i = 0; i < engine.m_items.size(); ++i) {
    const CListItem item = engine.ItemSnapshot(i);
    if (item.m_state != Sent) continue;
    const ReportOutcome outcome = ItemReportOutcome(item);
    if (outcome != ReportOutcome::Delivered && outcome != ReportOutcome::NotDelivered) return false;
  }
  return true;
}

}  // namespace

bool ListenForReports(CEngine& engine, CConsoleFrame& frame, int seconds, bool untilReported) {
  if (seconds > 0) frame.Note(Say(Msg::ListeningForReports, {std::to_string(seconds)}));
  std::atomic<bool> done{false};
  std::thread listener;
  try {
    listener = std::thread([&engine, &done, seconds] {
      engine.CollectReports(static_cast<uint32_t>(seconds) * 1000u);
      done = true;
    });
  } catch (...) {
    return false;
  }
  const int interruptsBefore = platform::InterruptCount();
  bool stopped = false;
  for (int poll = 1; !done; ++poll) {
    const bool interrupted = platform::InterruptCount() > interruptsBefore;
    const bool lookAtReports = untilReported && poll % kPollsPerReportLook == 0;
    if (!stopped && (interrupted || (lookAtReports && AllReported(engine)))) {
      stopped = true;
      engine.StopListening();
    }
    platform::SleepMs(kInterruptPollMs);
  }
  listener.join();
  return true;
}

void SayCollected(const CEngine& engine, CConsoleFrame& frame) {
  const CMessageCollector::Counts counts = engine.CollectedCounts();
  frame.Note(Say(Msg::CollectedCounts, {std::to_string(counts.reports), std::to_string(counts.replies),
                                        std::to_string(counts.stops)}));
  const std::string results = engine.ResultsPath();
  if (!results.empty()) frame.Note(Say(Msg::ResultsIn, {platform::PathToUtf8(results)}));
  if (counts.replies > 0) {
    frame.Note(Say(Msg::RepliesIn, {platform::PathToUtf8(CRepliesFile::Path())}));
  }
}

int PrintInbox(std::FILE* out, std::FILE* progress) {
  const std::vector<CReply> replies = CRepliesFile::ReadAll();
  if (replies.empty()) {
    std::fprintf(progress, "varnek-send: %s\n",
                 Say(Msg::InboxEmpty, {platform::PathToUtf8(CRepliesFile::Path())}).c_str());
  }
  for (const CReply& reply : replies) {
    std::fprintf(out, "%s\t%s\t%s\n", platform::Cp1251ToUtf8(reply.time).c_str(),
                 platform::Cp1251ToUtf8(reply.sender).c_str(),
                 platform::Cp1251ToUtf8(OneLine(reply.text)).c_str());
  }
  std::fflush(out);
  return 0;
}
