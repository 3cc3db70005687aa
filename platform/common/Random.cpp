#include "platform/Random.h"

#include <cstdint>

namespace platform {
namespace {

thread_local uint32_t t_randState = 1;

}  // namespace

void ThreadRandSeed(unsigned seed) { t_randState = seed; }

int ThreadRand() {
  t_randState = t_randState * 214013u + 2531011u;
  return static_cast<int>((t_randState >> 16) & 0x7FFF);
}

}  // namespace platform
