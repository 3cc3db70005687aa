#include "tools/varnek-send/MarkerWatch.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"

namespace {

constexpr int kMarkerPathSize = 260;
// Not a number's digits, so never taken for a marker.
constexpr char kProbeName[] = "varnek-send.probe";

// The marker path of number; "" for one that can have none (no digits, or
// a path too long), which the engine leaves unprotected by design.
std::string MarkerPath(const std::string& number) {
  char path[kMarkerPathSize];
  CEngine::GetMarkerPath(path, sizeof path, number.c_str());
  const std::string marker = path;
  if (marker.empty() || marker.back() == platform::kPathSeparator) return std::string();
  return marker;
}

// The marker folder, from the marker path of a number without digits.
std::string MarkerFolder() {
  char path[kMarkerPathSize];
  CEngine::GetMarkerPath(path, sizeof path, "");
  std::string folder = path;
  if (!folder.empty()) folder.pop_back();
  return folder;
}

}  // namespace

CMarkerWatch::CMarkerWatch(const CEngine& engine, CConsoleFrame& frame)
    : m_engine(engine), m_frame(frame) {}

void CMarkerWatch::CheckFolder() {
  const std::string folder = MarkerFolder();
  if (m_engine.m_checkDuplicates == 0 || folder.empty()) return;
  platform::CreateDir(folder);
  // A stale probe of a killed run would make the new one fail.
  const std::string probe = folder + platform::kPathSeparator + kProbeName;
  platform::RemoveFile(probe);
  const bool writable = platform::CreateNewEmptyFile(probe);
  platform::RemoveFile(probe);
  if (writable) return;
  m_frame.Note("the duplicate check is on, but no marker can be written in " +
               platform::PathToUtf8(folder) +
               ": the numbers sent now may be sent again by a later run");
}

void CMarkerWatch::OnListChanged(size_t index) {
  m_frame.OnListChanged(index);
  if (m_engine.m_checkDuplicates == 0) return;
  const CListItem item = m_engine.ItemSnapshot(index);
  if (item.m_state != Sent) return;
  const std::string marker = MarkerPath(item.m_number);
  if (marker.empty() || platform::PathExists(marker)) return;
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_told) return;
  m_told = true;
  m_frame.Note("the duplicate check is on, but the marker of " +
               platform::Cp1251ToUtf8(item.m_number) + " could not be written (" +
               platform::PathToUtf8(marker) + "): it may be sent again by a later run");
}
