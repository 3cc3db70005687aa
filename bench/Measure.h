#pragma once
// Wall and processor time of a stretch of a benchmark.
#include <chrono>
#include <cstdint>

#include "platform/Clock.h"

class CMeasure {
 public:
  CMeasure() : m_wall(std::chrono::steady_clock::now()), m_cpu(platform::ProcessCpuMicroseconds()) {}

  double WallMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_wall)
        .count();
  }
  double CpuMs() const { return (platform::ProcessCpuMicroseconds() - m_cpu) / 1000.0; }

 private:
  std::chrono::steady_clock::time_point m_wall;
  uint64_t m_cpu;
};
