#pragma once
// CVarnekListView: the phone list, a virtual list view (a superclass of the
// system list view in report mode with owner data). Row i shows item i of
// the engine list: number, state text (and the item's cause after it), free
// text, read from the engine whenever the row is drawn. It keeps no copy of
// the list: a million numbers cost the view next to nothing, and a state
// change redraws one row.
//
// Window thread only. During a delivery the states are read with
// CEngine::ItemSnapshot; numbers and texts do not change then.
#include <map>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "ui/framework/ListViewCtrl.h"
#include "ui/framework/WindowImpl.h"

class CVarnekListView : public CWindowImpl<CVarnekListView, CListViewCtrlT<CWindow>> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"VarnekListView", WC_LISTVIEWW};
    return info;
  }

  // Shows the engine's list: one row per item, from the top, none selected;
  // the columns fitted. No delivery may run.
  void FillFromEngine(CEngine& engine = GetEngine());
  // The state or cause of item index changed (item: its copy): the row is
  // drawn anew, and the status column widened when the new text needs more
  // room (it never narrows here). Costs the same whatever the length of the
  // list.
  void RowChanged(size_t index, const CListItem& item);
  // Fits the columns to the widest texts of the list (no delivery running,
  // no listening for reports):
  // number and status as the platform fits a column to its header and
  // cells, the text column at least to the room left.
  void AutoSizeColumns();
  // Scrolls row into view while the operator follows the rows shown so: once
  // the previous one has been scrolled out of sight, the list stays where the
  // operator put it until that row is in sight again. -1 starts anew.
  void FollowRow(int row);
  // The selected row, -1 when none.
  int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }

  // The status column's text of an item: its state as the list shows it
  // (what the reports say of a message that went out, ItemStateText), then
  // its cause when it has one: the reports' ("Не доставлен — ..."), else the
  // item's own (1251).
  static std::string StatusText(const CListItem& item);

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

 private:
  static constexpr int kColumns = 3;

  static const std::string& CauseOf(const CListItem& item);

  LRESULT OnNcCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnOwnNotification(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void GiveCellText(NMLVDISPINFOW& info) const;
  int FindNumber(const NMLVFINDITEMW& find) const;
  std::string CellText(size_t row, int column) const;

  void CreateMeasuringList();
  HWND MeasuringList() const;
  // The width the platform fits column to for these cell texts and its header.
  int FittedWidth(int column, const std::vector<std::string>& texts) const;
  int WholeHeaderWidth(int column) const;
  // Sets the fitted widths; the last column takes at least the room left.
  void ApplyWidths();
  bool RowInView(int row) const;

  CEngine* m_engine = nullptr;  // the list shown; null before the first fill
  size_t m_rows = 0;
  int m_widths[kColumns] = {};
  // The fitted width of each status text met since the font was set.
  std::map<std::string, int> m_statusWidths;
  int m_followed = -1;
};
