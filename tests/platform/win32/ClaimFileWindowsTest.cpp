// Claim files between Windows processes: a second process holds a claim and
// is ended as Task Manager ends one. This program is its own second process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/ClaimFile.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using platform::ClaimFile;
using platform::ClaimStatus;

constexpr char kPathVariable[] = "VARNEK_CLAIM_PATH";
constexpr DWORD kLimitMs = 30000;

// Only as the child of the test below: holds the claim the environment
// names, says so with a file beside it, and waits to be ended.
TEST(ClaimHolder, DISABLED_HoldsUntilEnded) {
  char path[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableA(kPathVariable, path, MAX_PATH), 0u);
  ClaimFile claim;
  ASSERT_EQ(claim.Create(path).status, ClaimStatus::Held);
  ASSERT_TRUE(platform::CreateNewEmptyFile(std::string(path) + ".ready"));
  Sleep(kLimitMs);
}

TEST(ClaimFileProcess, AnEndedHolderLeavesItsClaimAbandoned) {
  testing_support::TempDir dir;
  const std::string path = dir.File("79001234567.claim");
  ASSERT_TRUE(SetEnvironmentVariableA(kPathVariable, path.c_str()));
  wchar_t program[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
  std::wstring command = L"\"" + std::wstring(program) +
                         L"\" --gtest_filter=ClaimHolder.DISABLED_HoldsUntilEnded"
                         L" --gtest_also_run_disabled_tests";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessW(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  const std::string ready = path + ".ready";
  for (DWORD waited = 0; !platform::PathExists(ready) && waited < kLimitMs; waited += 10) Sleep(10);
  ClaimFile here;
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(here.Create(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(here.TakeOver(path, "").status, ClaimStatus::HeldByLiving);

  TerminateProcess(child.hProcess, 1);
  WaitForSingleObject(child.hProcess, kLimitMs);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  const platform::ClaimFinding left = ClaimFile::Probe(path);
  EXPECT_EQ(left.status, ClaimStatus::Abandoned);
  EXPECT_EQ(left.line.rfind(std::to_string(child.dwProcessId) + " ", 0), 0u) << left.line;
  ASSERT_EQ(here.TakeOver(path, left.line).status, ClaimStatus::Held);
  EXPECT_TRUE(here.Remove());
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::Absent);
}

}  // namespace
