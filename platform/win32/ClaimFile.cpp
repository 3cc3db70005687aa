#include "platform/ClaimFile.h"

#include <windows.h>

#include <iterator>

#include "platform/common/ClaimLine.h"
#include "platform/win32/WidePath.h"

namespace platform {
namespace {

// More than any line a holder writes.
constexpr DWORD kLineBytes = 1024;
constexpr int kDeletingTries = 20;
constexpr DWORD kDeletingRetryMs = 5;

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileW(WidePath(path).c_str(), access, share, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

ClaimFinding Found(ClaimStatus status) { return {status, std::string(), std::string()}; }

struct OpenOutcome {
  DWORD code;
  ClaimStatus status;
};

// What a failed open of a claim says about it. A sharing violation is a
// living holder's handle. A claim being deleted through its holder's handle
// refuses every open with "access denied" until the handle closes, a moment
// later: it counts as gone.
constexpr OpenOutcome kOpenOutcomes[] = {
    {ERROR_FILE_NOT_FOUND, ClaimStatus::Absent},
    {ERROR_PATH_NOT_FOUND, ClaimStatus::Absent},
    {ERROR_ACCESS_DENIED, ClaimStatus::Absent},
    {ERROR_SHARING_VIOLATION, ClaimStatus::HeldByLiving},
    {ERROR_LOCK_VIOLATION, ClaimStatus::HeldByLiving},
};

ClaimFinding OpenFailure(DWORD code) {
  for (const OpenOutcome& outcome : kOpenOutcomes) {
    if (outcome.code == code) return Found(outcome.status);
  }
  return {ClaimStatus::Failed, std::string(), SystemMessage(code)};
}

// A new claim: the name of one being deleted is free again a moment later;
// "access denied" that lasts is a matter of rights.
HANDLE CreateNew(const std::string& path, DWORD& code) {
  for (int tries = 1;; ++tries) {
    HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0, CREATE_NEW);
    code = GetLastError();
    if (file != INVALID_HANDLE_VALUE || code != ERROR_ACCESS_DENIED || tries == kDeletingTries) {
      return file;
    }
    Sleep(kDeletingRetryMs);
  }
}

std::string FirstLineOf(HANDLE file) {
  char bytes[kLineBytes];
  DWORD got = 0;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(file, bytes, sizeof bytes, &got, nullptr)) {
    return std::string();
  }
  return FirstLine(std::string(bytes, got));
}

// Puts line in the place of what the file held.
bool WriteLine(HANDLE file, const std::string& line) {
  DWORD written = 0;
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
         WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
         written == line.size() && SetEndOfFile(file);
}

// Marks the file for deletion when its handle closes: no one can open it in
// between, so no one finds it without a holder.
bool DeleteOnClose(HANDLE file) {
  FILE_DISPOSITION_INFO info = {};
  info.DeleteFile = TRUE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != 0;
}

}  // namespace

ClaimFinding ClaimFile::Create(const std::string& path) {
  Leave();
  DWORD code = 0;
  HANDLE file = CreateNew(path, code);
  if (file == INVALID_HANDLE_VALUE) {
    const bool exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ||
                        code == ERROR_SHARING_VIOLATION;
    return exists ? Probe(path) : ClaimFinding{ClaimStatus::Failed, "", SystemMessage(code)};
  }
  if (!WriteLine(file, OwnClaimLine())) {
    code = GetLastError();
    DeleteOnClose(file);
    CloseHandle(file);
    return {ClaimStatus::Failed, std::string(), SystemMessage(code)};
  }
  m_handle = reinterpret_cast<intptr_t>(file);
  m_path = path;
  return Found(ClaimStatus::Held);
}

ClaimFinding ClaimFile::Probe(const std::string& path) {
  HANDLE file = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
  std::string line = FirstLineOf(file);
  CloseHandle(file);
  return {ClaimStatus::Abandoned, line, std::string()};
}

ClaimFinding ClaimFile::TakeOver(const std::string& path, const std::string& seenLine) {
  Leave();
  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
  std::string line = FirstLineOf(file);
  if (line != seenLine) {
    CloseHandle(file);
    return {ClaimStatus::Abandoned, line, std::string()};
  }
  if (!WriteLine(file, OwnClaimLine())) {
    const DWORD code = GetLastError();
    CloseHandle(file);
    return {ClaimStatus::Failed, std::string(), SystemMessage(code)};
  }
  m_handle = reinterpret_cast<intptr_t>(file);
  m_path = path;
  return Found(ClaimStatus::Held);
}

bool ClaimFile::Remove() {
  if (!IsHeld()) return false;
  const bool removed = DeleteOnClose(AsHandle(m_handle));
  Leave();
  return removed;
}

void ClaimFile::Leave() {
  if (!IsHeld()) return;
  CloseHandle(AsHandle(m_handle));
  m_handle = -1;
  m_path.clear();
}

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

namespace backend {

std::string HostName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = static_cast<DWORD>(std::size(name));
  return GetComputerNameW(name, &size) ? Utf8FromWide(name) : std::string();
}

}  // namespace backend

}  // namespace platform
