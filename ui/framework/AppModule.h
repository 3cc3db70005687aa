#pragma once
// The program's module: its instance handle (for classes, dialogs and
// resources) and the message loop of each thread that runs one.
#include <windows.h>

#include <map>
#include <mutex>

class CMessageLoop;

class CAppModule {
 public:
  // Null takes the running program's own module. Before Init the program's
  // module is used as well, so tests need not call it.
  void Init(HINSTANCE instance);
  void Term();

  HINSTANCE GetModuleInstance() const;
  HINSTANCE GetResourceInstance() const { return GetModuleInstance(); }

  // One loop per thread; false when the calling thread has one already.
  bool AddMessageLoop(CMessageLoop* loop);
  void RemoveMessageLoop();
  // The loop of the given thread (the calling one by default), or null.
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

 private:
  HINSTANCE m_instance = nullptr;
  mutable std::mutex m_lock;
  std::map<DWORD, CMessageLoop*> m_loops;
};

CAppModule& GetAppModule();
