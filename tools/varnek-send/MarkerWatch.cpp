#include "tools/varnek-send/MarkerWatch.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "tools/varnek-send/SendMessages.h"

CMarkerWatch::CMarkerWatch(const CEngine& engine, CConsoleFrame& frame)
    : m_engine(engine), m_frame(frame) {}

bool CMarkerWatch::CheckFolder() {
  std::string reason;
  if (m_engine.CheckMarkerFolder(reason)) return true;
  m_frame.Note(Say(Msg::MarkerFolderUnwritable, {platform::PathToUtf8(m_engine.Markers().Folder()),
                                                  platform::Cp1251ToUtf8(reason)}));
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
  m_frame.Note(Say(Msg::MarkerNotWritten,
                   {platform::Cp1251ToUtf8(item.m_number), platform::PathToUtf8(marker)}));
}
