#pragma once
// The inputs of one varnek-send run: the message and the list sources, read
// in the encoding the options name and handed to the engine in code page 1251.
#include <string>

#include "engine/Engine.h"
#include "tools/varnek-send/SendOptions.h"

class CSendInput {
 public:
  explicit CSendInput(const CSendOptions& options) : m_options(options) {}

  // The whole message in code page 1251 (a file's final line breaks
  // dropped); false with error when its file cannot be read.
  bool ReadMessage(std::string& message, std::string& error) const;
  // False with error naming the first list file that cannot be opened. The
  // engine's loader is silent about such files, so they are checked first.
  bool CheckListFiles(std::string& error) const;
  // Appends every source to the engine's list, in the order given.
  bool AppendSources(CEngine& engine, std::string& error) const;

 private:
  bool AppendListFile(CEngine& engine, const std::string& name, std::string& error) const;
  // A text from the user's encoding to code page 1251.
  std::string To1251(const std::string& text) const;

  const CSendOptions& m_options;
};
