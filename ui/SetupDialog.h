#pragma once
// CSetupDialog: edits the engine's settings (port, speed, duplicate check,
// the two pause limits, status reports and the service centre) and searches
// for a modem. The settings change only on OK, all at once, and the port
// only to the one the list shows: a saved port the system does not list
// stays offered, marked as absent. OK refuses a service-centre number that
// is not "+" and up to 20 digits (empty: the modem's own), naming the field.
// "Найти" tries every port at once on threads of its own, while the dialog
// stays usable and a line under the port tells how the search goes; it only
// selects the port (and the speed) a modem answered on, and leaves the
// choice as it was when none did.
#include <windows.h>

#include <map>
#include <memory>

#include "engine/Engine.h"
#include "modem/PortSearch.h"
#include "res/resource.h"
#include "ui/framework/DialogImpl.h"

class CSetupDialog : public CDialogImpl<CSetupDialog> {
 public:
  enum { IDD = IDD_SETUP };

  explicit CSetupDialog(CEngine& engine = GetEngine()) : m_engine(engine) {}

  // Empties the drop-down list and adds one entry per serial port the system
  // reports: "COM<n> <driver description>", or the port's own name when no
  // description fits; item data n. Names not beginning with "COM" are left out.
  static void FillPortList(HWND list);
  // Selects the first entry whose item data is port; none when none has it.
  static void SelectPortItem(HWND list, int port);
  // Selects port (none for 0); a port the list lacks is added first, as
  // "COM<n> (нет в системе)".
  static void ShowPort(HWND list, int port);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnOK(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnFindPort(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCancel(WORD code, WORD id, HWND control, bool& handled);
  // The search's events, posted from its threads.
  LRESULT OnPortTrying(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnPortFound(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  void FillSpeedList();
  // The item data of the selected entry, or fallback when none is selected.
  int SelectedItemData(int id, int fallback) const;
  int ReadPause(int id) const;

  // The ports still being tried, on the line under the port.
  void ShowSearchProgress();
  void FinishSearch();
  // Ends a search under way at once (OK, Cancel).
  void StopSearch();

  CEngine& m_engine;
  std::unique_ptr<CPortSearch> m_search;
  int m_searchSpeed = 0;       // the speed asked for first
  size_t m_searchLeft = 0;     // ports whose finding has not come yet
  std::map<int, int> m_trying; // port -> the speed it is being tried at
  int m_modemPort = 0;         // the first port a modem answered on; 0: none yet
  int m_modemSpeed = 0;
};
