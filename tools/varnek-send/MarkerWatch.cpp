#include "tools/varnek-send/MarkerWatch.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/varnek-send/SendMessages.h"

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
  m_frame.Note(Say(Msg::MarkerFolderUnwritable, {platform::PathToUtf8(folder)}));
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
  m_frame.Note(Say(Msg::MarkerNotWritten,
                   {platform::Cp1251ToUtf8(item.m_number), platform::PathToUtf8(marker)}));
}
