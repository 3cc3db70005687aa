#include <atomic>

#include "platform/Files.h"
#include "platform/common/Backend.h"

namespace platform {
namespace {

std::atomic<bool> g_failReplaces{false};

}  // namespace

bool ReplaceFileAtomically(const std::string& source, const std::string& target) {
  if (g_failReplaces) return false;
  return backend::SystemReplaceFile(source, target);
}

void FailFileReplacesForTests(bool fail) { g_failReplaces = fail; }

}  // namespace platform
