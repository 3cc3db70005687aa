#pragma once
// CVarnekListView: the phone list, a superclass of the system list view in
// report mode. Row i shows item i of the engine list: number, state text,
// free text. It keeps no data; it reads the engine list when asked.
#include "engine/Engine.h"
#include "ui/framework/ListViewCtrl.h"
#include "ui/framework/WindowImpl.h"

class CVarnekListView : public CWindowImpl<CVarnekListView, CListViewCtrlT<CWindow>> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"VarnekListView", WC_LISTVIEWW};
    return info;
  }

  // Rebuilds every row from the list (window thread only).
  void FillFromEngine(CEngine& engine = GetEngine());
  // Rewrites the status column from the list, then re-fits the columns to
  // the widths AutoSizeColumns would give. Callable from the worker thread:
  // the work is done on the window's thread in one sent message, while the
  // caller waits. Rows must be as the last FillFromEngine left them.
  void UpdateStates(CEngine& engine = GetEngine());
  void AutoSizeColumns();
  // The selected row, -1 when none.
  int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnUpdateStates(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Writes the status cells that differ; marks in present the states shown.
  void WriteChangedStates(const CEngine& engine, bool* present);
  void RefitAfterStates(const bool* present);
  void CreateMeasuringList();
  int WholeHeaderWidth(int column) const;
  HWND MeasuringList() const;
};
