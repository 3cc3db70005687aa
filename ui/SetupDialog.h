#pragma once
// CSetupDialog: edits the engine's five settings (port, speed, duplicate
// check, the two pause limits) and searches for a modem. The settings change
// only on OK, all at once; "Найти" only selects the port it found.
#include <windows.h>

#include "engine/Engine.h"
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

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnOK(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnFindPort(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCancel(WORD code, WORD id, HWND control, bool& handled);

  void FillSpeedList();
  // The item data of the selected entry, or fallback when none is selected.
  int SelectedItemData(int id, int fallback) const;
  int ReadPause(int id) const;

  CEngine& m_engine;
};
