#pragma once
// The inputs of one varnek-send run: the message and the list files, read
// whole into memory in the encoding the file shows or the options name, and
// handed to the engine in code page 1251.
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tools/varnek-send/SendOptions.h"

// What one source added to the list.
struct CSourceItems {
  CListSource m_source;
  size_t m_first = 0;  // the index of its first item
  size_t m_count = 0;
  std::vector<int> m_lines;  // a list file: the line of each item, from 1
  CListReport m_report;      // lines dropped, cut or changed, numbers that cannot be sent
};

class CSendInput {
 public:
  explicit CSendInput(const CSendOptions& options) : m_options(options) {}

  // Reads the message and every list file, each once, before the engine
  // exists: a file that cannot be read stops the run before anything is
  // sent, and none can vanish or change between a check and its use. False
  // with error for the first that cannot be read or holds what its use
  // refuses (TextDecoding.h); notes gets a line for each file read in an
  // encoding other than the one asked for (or cp1251).
  bool Read(std::vector<std::string>& notes, std::string& error);

  // The message in code page 1251 (a file's final line breaks dropped).
  const std::string& Message() const { return m_message; }

  // Appends every source to the engine's list, in the order given, and says
  // what each added.
  std::vector<CSourceItems> AppendSources(CEngine& engine) const;

 private:
  bool ReadMessage(std::vector<std::string>& notes, std::string& error);

  const CSendOptions& m_options;
  std::string m_message;
  std::vector<std::string> m_lists;  // each --list file in 1251, in order
};
