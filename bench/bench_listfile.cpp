// Loading a list file of 100,000 lines: prints the time LoadListFile takes.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "engine/Engine.h"
#include "support/TempDir.h"

int main() {
  constexpr int kLines = 100000;
  testing_support::TempDir dir;
  dir.UseAsProgramFolder("varnek.exe");
  const std::string path = dir.File("list.txt");
  {
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
      file << "+7 (9" << (10 + i % 90) << ") " << (1000000 + i) << " \xC8\xE2\xE0\xED " << i
           << "\r\n";
    }
  }
  CEngine engine;
  const auto start = std::chrono::steady_clock::now();
  engine.LoadListFile(path.c_str());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("LoadListFile: %zu items from %d lines in %.3f s\n", engine.m_items.size(), kLines,
              took.count());
  return engine.m_items.size() == static_cast<size_t>(kLines) ? 0 : 1;
}
