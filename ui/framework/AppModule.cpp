#include "ui/framework/AppModule.h"

void CAppModule::Init(HINSTANCE instance) {
  m_instance = instance ? instance : GetModuleHandleW(nullptr);
}

void CAppModule::Term() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_loops.clear();
}

HINSTANCE CAppModule::GetModuleInstance() const {
  return m_instance ? m_instance : GetModuleHandleW(nullptr);
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_loops.emplace(GetCurrentThreadId(), loop).second;
}

void CAppModule::RemoveMessageLoop() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_loops.erase(GetCurrentThreadId());
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
  std::lock_guard<std::mutex> guard(m_lock);
  const auto found = m_loops.find(threadId);
  return found == m_loops.end() ? nullptr : found->second;
}

CAppModule& GetAppModule() {
  static CAppModule module;
  return module;
}
