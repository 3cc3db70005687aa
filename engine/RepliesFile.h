#pragma once
// The replies file: every message that came back to the modems, one line
// each, in "replies.csv" beside the program: the time the network gave it,
// the sender, the text (code page 1251, fields separated by ";", as the
// results files). A line is written whole before the message is deleted
// from the modem, so that a crash loses none. Any thread; one writer at a
// time (the caller's lock).
#include <string>
#include <vector>

struct CReply {
  std::string time;    // "2026-12-08 17:31:02 +03:00"
  std::string sender;  // "+79161234567", or a name
  std::string text;    // 1251; '?' for what 1251 lacks
};

class CRepliesFile {
 public:
  static std::string Path();
  // False, with the system's reason (UTF-8), when the line cannot be
  // written: the message then stays in the modem.
  static bool Append(const CReply& reply, std::string& reason);
  // Every reply so far, oldest first; empty when there is no file.
  static std::vector<CReply> ReadAll();
};
