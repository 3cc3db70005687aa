#include "tools/varnek-send/MarkerWatch.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"

CMarkerWatch::CMarkerWatch(const CEngine& engine, CConsoleFrame& frame)
    : m_engine(engine), m_frame(frame) {}

bool CMarkerWatch::CheckFolder() {
  std::string reason;
  if (m_engine.CheckMarkerFolder(reason)) return true;
  m_frame.Note("the duplicate check is on, but no marker can be written in " +
               platform::PathToUtf8(m_engine.Markers().Folder()) + ": " +
               platform::Cp1251ToUtf8(reason) +
               "; nothing is sent (--markers DIR names another folder, --no-check sends "
               "without the check)");
  return false;
}

void CMarkerWatch::OnListChanged(size_t index) {
  m_frame.OnListChanged(index);
  if (m_engine.m_checkDuplicates == 0) return;
  const CListItem item = m_engine.ItemSnapshot(index);
  if (item.m_state != Sent) return;
  const CMarkerStore markers = m_engine.Markers();
  const std::string marker = markers.MarkerPath(item.m_number);
  if (marker.empty() || markers.IsMarked(item.m_number)) return;
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_told) return;
  m_told = true;
  m_frame.Note("the duplicate check is on, but the marker of " +
               platform::Cp1251ToUtf8(item.m_number) + " could not be written (" +
               platform::PathToUtf8(marker) +
               "): its claim stays, so that no later run sends it again");
}
