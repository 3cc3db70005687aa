#include "engine/Engine.h"

CEngine::CEngine() { LoadSettings(); }

CEngine::~CEngine() { Teardown(); }

void CEngine::Teardown(SettingsAtTeardown settings) {
  if (m_tornDown) return;
  m_tornDown = true;
  // The worker reads the list and the message: it must be gone before they
  // are released.
  if (m_thread != nullptr) {
    BeginShutdown();
    WaitForWorker(UINT32_MAX);
  }
  if (settings == SettingsAtTeardown::Save) SaveSettings();
  m_message.clear();
  m_items.clear();
}

CListItem CEngine::ItemSnapshot(size_t index) const {
  std::lock_guard<std::mutex> guard(m_itemLock);
  return m_items[index];
}

CEngine& GetEngine() {
  // Made at the first call on the window thread; the program entry runs the
  // teardown explicitly, the destructor at exit then does nothing more.
  static CEngine engine;
  return engine;
}
