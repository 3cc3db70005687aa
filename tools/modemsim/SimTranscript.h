#pragma once
// Everything the simulator receives and sends, one escaped line per read or
// write ("IN  ...", "OUT ...", "--- event"), flushed line by line. Without a
// file nothing is written.
#include <cstdio>
#include <string>

namespace modemsim {

class CSimTranscript {
 public:
  CSimTranscript() = default;
  ~CSimTranscript();
  CSimTranscript(const CSimTranscript&) = delete;
  CSimTranscript& operator=(const CSimTranscript&) = delete;

  bool Open(const std::string& path);  // appends; an empty path writes nothing
  void Received(const std::string& bytes) { Line("IN  ", bytes); }
  void Sent(const std::string& bytes) { Line("OUT ", bytes); }
  void Event(const std::string& text);

 private:
  void Line(const char* prefix, const std::string& bytes);
  FILE* m_file = nullptr;
};

}  // namespace modemsim
