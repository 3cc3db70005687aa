#include "engine/MarkerStore.h"

#include "engine/NumberForm.h"
#include "platform/Files.h"

namespace {

constexpr char kDefaultFolder[] = "PHONES";
constexpr char kClaimSuffix[] = ".claim";
// The stop list's folder: not a number's digits, so never taken for a marker.
constexpr char kStopFolder[] = "STOP";
constexpr char kCheckName[] = "write-check.";
// Times a claim is tried while other processes create, remove or take over
// the same claim under it.
constexpr int kClaimRounds = 4;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Digits(const std::string& number) {
  std::string digits;
  for (char c : number) {
    if (IsDigit(c)) digits += c;
  }
  return digits;
}

bool MakeMarker(const std::string& path) {
  return platform::CreateNewEmptyFile(path) || platform::PathExists(path);
}

}  // namespace

bool CNumberClaim::Confirm() {
  if (m_marker.empty()) return true;
  if (!MakeMarker(m_marker)) {
    Leave();
    return false;
  }
  return m_file.Remove();
}

bool CNumberClaim::Drop() { return m_marker.empty() || m_file.Remove(); }

CMarkerStore::CMarkerStore(const std::string& folder) : m_folder(folder) {
  if (m_folder.empty()) {
    const std::string program = platform::ProgramFolder();
    m_folder = program.empty() ? std::string(kDefaultFolder)
                               : program + platform::kPathSeparator + kDefaultFolder;
  }
  // "markers/" names the folder "markers"; a lone separator (the root) stays.
  while (m_folder.size() > 1 && m_folder.back() == platform::kPathSeparator) m_folder.pop_back();
}

std::string CMarkerStore::KeyOf(const std::string& number) {
  return Digits(NumberForm(number.c_str()).m_number);
}

std::string CMarkerStore::PathOf(const std::string& name) const {
  return m_folder + platform::kPathSeparator + name;
}

std::string CMarkerStore::MarkerPath(const std::string& number) const {
  const std::string key = KeyOf(number);
  return key.empty() ? std::string() : PathOf(key);
}

std::string CMarkerStore::ClaimPath(const std::string& number) const {
  const std::string key = KeyOf(number);
  return key.empty() ? std::string() : PathOf(key + kClaimSuffix);
}

bool CMarkerStore::IsMarked(const std::string& number) const {
  const std::string marker = MarkerPath(number);
  if (marker.empty()) return false;
  if (platform::PathExists(marker)) return true;
  // Earlier versions named a marker by the digits as written ("8912...",
  // "912..."): such a number was sent all the same.
  const std::string written = Digits(number);
  return written != KeyOf(number) && platform::PathExists(PathOf(written));
}

std::string CMarkerStore::StopFolder() const { return PathOf(kStopFolder); }

std::string CMarkerStore::StopPath(const std::string& number) const {
  const std::string key = KeyOf(number);
  return key.empty() ? std::string() : StopFolder() + platform::kPathSeparator + key;
}

bool CMarkerStore::IsStopped(const std::string& number) const {
  const std::string stop = StopPath(number);
  return !stop.empty() && platform::PathExists(stop);
}

bool CMarkerStore::AddStop(const std::string& number, std::string& reason) const {
  const std::string stop = StopPath(number);
  if (stop.empty()) {
    reason = "no digits";
    return false;
  }
  if (!platform::MakeClaimFolder(StopFolder(), reason)) return false;
  if (platform::CreateNewEmptyFile(stop) || platform::PathExists(stop)) return true;
  reason = "cannot create " + stop;
  return false;
}

bool CMarkerStore::RemoveStop(const std::string& number) const {
  const std::string stop = StopPath(number);
  return !stop.empty() && platform::RemoveFile(stop);
}

bool CMarkerStore::Mark(const std::string& number) const {
  const std::string marker = MarkerPath(number);
  if (marker.empty()) return false;
  std::string reason;
  return platform::MakeClaimFolder(m_folder, reason) && MakeMarker(marker);
}

ClaimOutcome CMarkerStore::Claim(const std::string& number, bool takeOverAbandoned,
                                 CNumberClaim& claim, std::string& detail) const {
  detail.clear();
  claim.m_file.Leave();
  claim.m_marker.clear();
  const std::string marker = MarkerPath(number);
  if (marker.empty()) return ClaimOutcome::Claimed;
  if (IsMarked(number)) return ClaimOutcome::Marked;
  if (!platform::MakeClaimFolder(m_folder, detail)) return ClaimOutcome::Failed;
  const std::string path = ClaimPath(number);
  using platform::ClaimStatus;
  for (int round = 0; round < kClaimRounds; ++round) {
    platform::ClaimFinding found = claim.m_file.Create(path);
    if (found.status == ClaimStatus::Abandoned && !IsMarked(number) && takeOverAbandoned) {
      detail = found.line;
      found = claim.m_file.TakeOver(path, found.line);
    }
    switch (found.status) {
      case ClaimStatus::Held:
        // Its last holder may have confirmed it between the look at the
        // marker above and the claim.
        if (!IsMarked(number)) {
          claim.m_marker = marker;
          return ClaimOutcome::Claimed;
        }
        claim.m_file.Remove();
        return ClaimOutcome::Marked;
      case ClaimStatus::Absent:
        detail.clear();
        continue;  // removed meanwhile: claim it anew
      case ClaimStatus::HeldByLiving:
        return ClaimOutcome::HeldElsewhere;
      case ClaimStatus::Abandoned:
        // Its holder made the marker and died before removing the claim.
        if (IsMarked(number)) return ClaimOutcome::Marked;
        detail = found.line;
        return ClaimOutcome::Unconfirmed;
      case ClaimStatus::Failed:
        detail = found.reason;
        return ClaimOutcome::Failed;
    }
  }
  return ClaimOutcome::HeldElsewhere;  // it keeps changing hands: look again later
}

bool CMarkerStore::IsUnconfirmed(const std::string& number) const {
  const std::string path = ClaimPath(number);
  return !path.empty() &&
         platform::ClaimFile::Probe(path).status == platform::ClaimStatus::Abandoned &&
         !IsMarked(number);
}

bool CMarkerStore::CheckWritable(std::string& reason) const {
  if (!platform::MakeClaimFolder(m_folder, reason)) return false;
  // Named after this process: a file of a killed run with the same id is
  // abandoned and taken over.
  const std::string path = PathOf(kCheckName + std::to_string(platform::CurrentProcessId()));
  platform::ClaimFile check;
  platform::ClaimFinding found = check.Create(path);
  if (found.status == platform::ClaimStatus::Abandoned) found = check.TakeOver(path, found.line);
  if (found.status == platform::ClaimStatus::Failed) {
    reason = found.reason;
    return false;
  }
  if (check.IsHeld() && !check.Remove()) {
    reason = "a file made there cannot be removed";
    return false;
  }
  return true;
}
