#pragma once
// The delivery engine: the five settings with their file, the phone list, the
// message and the worker thread. One object per process, reached through
// GetEngine.
//
// Threads: everything runs on the window's thread, except the delivery. While
// m_thread is non-null the window refuses every command that changes the
// list, the settings or the position, so the delivery reads them without a
// lock. m_position is the one field both sides write.
//
// A delivery drives one modem (the window's, on m_port), or a pool of several
// that share the list (m_poolPorts): one thread per modem, each with its own
// pause and its own port-error countdown, the first on the thread m_thread
// names. Each takes the next number not yet taken (CNumberQueue).
//
// With the duplicate check on, every number is claimed in the marker folder
// before it goes to the modem (CMarkerStore), so that several processes, on
// one PC or several sharing the folder, may run one list: each number goes
// out once.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ListItem.h"
#include "engine/ListReport.h"
#include "engine/MarkerStore.h"
#include "engine/MessageCollector.h"
#include "engine/NumberQueue.h"
#include "engine/SettingValue.h"
#include "engine/StopWords.h"
#include "modem/ComPort.h"
#include "modem/Modem.h"

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
  // The load notes in m_settingNotes every value it could not take as it
  // stands (SettingValue.h).
  void LoadSettings();
  void SaveSettings();
  // The program's path with the file name's extension replaced by ".xml"
  // (added when it has none), at any length; "" when the program's path is
  // not known.
  static std::string GetConfigPath();

  // Phone list (window thread, no delivery running). A report, when given,
  // gets what the operator should hear of the numbers added: lines dropped,
  // cut or changed, numbers no message can reach (ListReport.h).
  void ClearList();
  void AddItem(const CListItem& item, CListReport* report = nullptr);
  void LoadListFile(const char* path, CListReport* report = nullptr);
  // The same for the bytes of a list file already in memory. lines, when
  // given, gets the line (from 1; CR LF, LF and a lone CR each end one) of
  // every item added.
  void LoadListText(const std::string& text, std::vector<int>* lines = nullptr,
                    CListReport* report = nullptr);
  void GenerateFromMask(const char* mask, CListReport* report = nullptr);

  // A copy of the item at index, safe while a delivery changes items (any
  // thread). The list itself must not change meanwhile.
  CListItem ItemSnapshot(size_t index) const;

  // The markers and claims of the duplicate check, in m_markerFolder.
  CMarkerStore Markers() const { return CMarkerStore(m_markerFolder); }
  // To ask before a delivery (window thread): with the check on, whether
  // markers and claims can be written in the marker folder (made when
  // missing); false with the system's reason (1251). A delivery sends no
  // number that it cannot claim: such a number ends SendError.
  bool CheckMarkerFolder(std::string& reason) const;

  // Delivery. StartDelivery gives the new worker's handle, or null when one
  // runs already or the thread cannot be made. StopDelivery asks every modem
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

  // What comes back after the messages went out (with reports asked for):
  // every modem of the last delivery (or m_port) is captured, the reports
  // and replies it holds are written down and deleted from it, and for
  // listenMs it listens for more (0: a look only), a thread per modem.
  // Returns when the time has passed or StopListening was called. Not while
  // a delivery runs: a modem is captured by one at a time.
  void CollectReports(uint32_t listenMs);
  void StopListening();
  CMessageCollector::Counts CollectedCounts() const { return m_collector.Tally(); }
  // The results file of the last delivery; "" before the first.
  std::string ResultsPath() const;

  std::vector<CListItem> m_items;
  int32_t m_baudRate = 0;
  int32_t m_port = 0;
  std::string m_message;
  std::atomic<std::thread*> m_thread{nullptr};
  // Set by the start commands. With one modem, the index of the number it
  // handles next; with a pool, or when numbers another process holds are
  // passed over for now, the start plus the numbers finished since.
  // StopDelivery stores the list size.
  std::atomic<int32_t> m_position{0};
  int32_t m_checkDuplicates = 0;
  int32_t m_minPause = 0;
  int32_t m_maxPause = 0;
  // The values of the last LoadSettings that were replaced, in key order;
  // empty when every one was taken as it stood (window thread).
  std::vector<CSettingNote> m_settingNotes;
  // The folder of the markers (MARKERS of the settings file); "": the folder
  // "PHONES" beside the program.
  std::string m_markerFolder;
  // With the check on, a number whose claim a run left behind (it may have
  // gone out) is sent all the same, where it would end Unconfirmed. Not a
  // setting: never saved. Set while no delivery runs.
  bool m_resendUnconfirmed = false;
  // The pause between two pieces of PDU text, ms. Not a setting of the file:
  // the window keeps the default; varnek-send may change it for a run.
  uint32_t m_piecePause = CComPort::kDefaultPiecePauseMs;
  // The COM numbers of a pool of modems for the next delivery, all distinct;
  // empty: the one modem on m_port. Not a setting: never saved.
  std::vector<int32_t> m_poolPorts;
  // How long a modem rests after it failed (the port-error countdown), s;
  // its rests after passing refusals grow from half of it. Not a setting.
  int32_t m_restSeconds = 10;
  // The longest wait for the network's confirmation of a message, ms. Not a
  // setting of the file; varnek-send may change it for a run.
  uint32_t m_confirmLimitMs = CModem::kDefaultConfirmLimitMs;
  // Status reports asked for, and the modems' memories read for reports and
  // replies (REPORTS of the settings file).
  int32_t m_requestReports = 0;
  // The operator's service-centre number, put into every message (SMSC of
  // the settings file); "": the one the modem has stored.
  std::string m_smsc;
  // The replies that put their sender on the stop list, comma-separated
  // (STOPWORDS of the settings file).
  std::string m_stopWords = kDefaultStopWords;

 private:
  void DeliveryWorker();
  void RunModems();
  // The results file of a delivery from index first on, and its writing
  // (again whenever a report for one of its numbers comes).
  void BeginResults(size_t first);
  void WriteResults();
  void CollectOn(int32_t port, uint32_t listenMs);
  // Nothing more is taken: the position becomes the list size and the
  // modems waiting for a number end.
  void StopTaking();
  friend class CDeliveryWorker;
  friend class CMessageCollector;

  bool m_tornDown = false;
  std::mutex m_threadLock;  // StartDelivery's store and the worker's end
  std::condition_variable m_threadEnded;
  std::mutex m_sleepLock;  // the worker's sleeps and BeginShutdown
  std::condition_variable m_wake;
  std::atomic<bool> m_shuttingDown{false};
  CNumberQueue m_queue{m_position};
  // Per item of the delivery: the passing refusals so far (under m_itemLock).
  std::vector<uint8_t> m_tries;
  CMessageCollector m_collector{*this};
  struct {
    size_t first = 0;
    std::string path;  // "": no delivery yet
  } m_results;
  mutable std::mutex m_resultsLock;  // m_results and the writing of its file
  std::atomic<bool> m_stopListening{false};
  // Held while a delivery's thread changes an item and while another thread
  // reads one (ItemSnapshot); never while g_pMainFrame is called.
  mutable std::mutex m_itemLock;
};

CEngine& GetEngine();
