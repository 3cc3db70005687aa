#pragma once
// What varnek-send does with what comes back after the messages went out:
// listening for status reports after the last number (--wait-reports), the
// modems' memories read on their own (--collect), and the replies file
// shown (--inbox).
#include <cstdio>

#include "engine/Engine.h"
#include "tools/varnek-send/ConsoleFrame.h"

// Listens on the run's modems for seconds (0: one look at their memories),
// the engine's reports going through frame as they come; a stop request
// (Ctrl-C, SIGTERM, SIGHUP) ends it early, and so, with untilReported, does
// the last report the sent numbers wait for. False when the listening thread
// cannot be made.
bool ListenForReports(CEngine& engine, CConsoleFrame& frame, int seconds, bool untilReported);

// What came back, on stderr through frame: the counts of reports, replies and
// stop requests, and where the results of the run are.
void SayCollected(const CEngine& engine, CConsoleFrame& frame);

// Every reply so far, oldest first, one line each on out: time, sender and
// text separated by tabs (UTF-8); a note on progress when there is none.
// The exit status: 0.
int PrintInbox(std::FILE* out, std::FILE* progress);
