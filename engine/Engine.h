#pragma once
// The delivery engine: the five settings with their file, the phone list, the
// message and the worker thread. One object per process, reached through
// GetEngine.
//
// Threads: everything runs on the window's thread, except the worker. While
// m_thread is non-null the window refuses every command that changes the
// list, the settings or the position, so the worker reads them without a lock.
// m_position is the one field both threads write.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ListItem.h"
#include "modem/ComPort.h"

// What the teardown does with the settings file: the window saves what the
// operator set; a tool that applies settings for one run leaves the file be.
enum class SettingsAtTeardown { Save, Keep };

class CEngine {
 public:
  CEngine();   // reads the settings file
  ~CEngine();  // Teardown (saving), unless it already ran

  // Saves the settings (unless told to keep the file as it is) and releases
  // the list and the message; runs once. A running worker is shut down first
  // (BeginShutdown).
  void Teardown(SettingsAtTeardown settings = SettingsAtTeardown::Save);

  // Settings file beside the program. The save writes a temporary file and
  // then replaces the old one in one step: a failed save leaves it whole.
  void LoadSettings();
  void SaveSettings();
  static void GetConfigPath(char* buffer);  // 260 bytes

  // Phone list (window thread, no delivery running).
  void ClearList();
  void AddItem(const CListItem& item);
  void LoadListFile(const char* path);
  // The same for the bytes of a list file already in memory. lines, when
  // given, gets the line (from 1; CR LF, LF and a lone CR each end one) of
  // every item added.
  void LoadListText(const std::string& text, std::vector<int>* lines = nullptr);
  void GenerateFromMask(const char* mask);

  // Duplicate markers (worker thread).
  static void GetMarkerPath(char* buffer, int size, const char* number);
  bool IsNewNumber(const char* number) const;
  void MarkNumber(const char* number) const;

  // Delivery. StartDelivery gives the new worker's handle, or null when one
  // runs already or the thread cannot be made. StopDelivery asks the worker
  // to end after the number in hand (a pause under way runs out).
  std::thread* StartDelivery();
  void StopDelivery();
  // Program exit: ends a pause or a countdown at once, lets the modem
  // operation in hand finish, and makes the worker end. Does not wait.
  void BeginShutdown();
  // Waits up to timeoutMs (UINT32_MAX: without limit) for the worker to end;
  // true when none runs.
  bool WaitForWorker(uint32_t timeoutMs);
  // Sleeps; false at once when a shutdown begins (worker thread).
  bool SleepUnlessShutdown(uint32_t milliseconds);

  std::vector<CListItem> m_items;
  int32_t m_baudRate = 0;
  int32_t m_port = 0;
  std::string m_message;
  std::atomic<std::thread*> m_thread{nullptr};
  std::atomic<int32_t> m_position{0};
  int32_t m_checkDuplicates = 0;
  int32_t m_minPause = 0;
  int32_t m_maxPause = 0;
  // The pause between two pieces of PDU text, ms. Not a setting of the file:
  // the window keeps the default; varnek-send may change it for a run.
  uint32_t m_piecePause = CComPort::kDefaultPiecePauseMs;

 private:
  void DeliveryWorker();
  friend class CDeliveryWorker;

  bool m_tornDown = false;
  std::mutex m_threadLock;  // StartDelivery's store and the worker's end
  std::condition_variable m_threadEnded;
  std::mutex m_sleepLock;  // the worker's sleeps and BeginShutdown
  std::condition_variable m_wake;
  std::atomic<bool> m_shuttingDown{false};
};

CEngine& GetEngine();
