#pragma once
// The C library's rand() sequence (state * 214013 + 2531011, value = bits 16
// to 30), kept per thread on every platform: each new thread starts at seed 1.
// (The C library's own rand() is per thread on Windows but shared on Linux.)

namespace platform {

void ThreadRandSeed(unsigned seed);
int ThreadRand();  // 0 to 32767

}  // namespace platform
