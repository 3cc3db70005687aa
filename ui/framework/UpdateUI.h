#pragma once
// CUpdateUI<T>: the check and enable state of commands, applied to menu
// items when their popup opens and to registered toolbars when the thread is
// idle. T lists its commands in a static GetUpdateUIMap (id and the kinds of
// element that show it); commands not in the map are never touched.
#include <windows.h>

#include <commctrl.h>

#include <vector>

enum : WORD { UPDUI_MENUPOPUP = 0x0001, UPDUI_TOOLBAR = 0x0002 };

struct CUpdateUIEntry {
  UINT id;
  WORD kinds;
};

template <class T>
class CUpdateUI {
 public:
  CUpdateUI() {
    for (const CUpdateUIEntry& entry : T::GetUpdateUIMap())
      m_states.push_back(State{entry.id, entry.kinds, true, false});
  }

  void UIAddToolBar(HWND toolBar) { m_toolBars.push_back(toolBar); }
  bool UISetCheck(UINT id, bool checked) { return Change(id, [&](State& s) { s.checked = checked; }); }
  bool UIEnable(UINT id, bool enabled) { return Change(id, [&](State& s) { s.enabled = enabled; }); }

  // Applies the states of the toolbar entries to the registered toolbars.
  void UIUpdateToolBar() {
    for (State& state : m_states) {
      if (!(state.kinds & UPDUI_TOOLBAR) || !state.dirty) continue;
      for (HWND toolBar : m_toolBars) {
        ::SendMessageW(toolBar, TB_ENABLEBUTTON, state.id, MAKELPARAM(state.enabled, 0));
        ::SendMessageW(toolBar, TB_CHECKBUTTON, state.id, MAKELPARAM(state.checked, 0));
      }
      state.dirty = false;
    }
  }

  // WM_INITMENUPOPUP: the states of the popup's items that the map holds.
  // The message always goes on.
  bool ProcessUpdateUIMessage(UINT message, WPARAM wParam) {
    if (message != WM_INITMENUPOPUP) return false;
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    for (const State& state : m_states) {
      if (!(state.kinds & UPDUI_MENUPOPUP)) continue;
      ::EnableMenuItem(menu, state.id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
      ::CheckMenuItem(menu, state.id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
    }
    return false;
  }

 private:
  struct State {
    UINT id;
    WORD kinds;
    bool enabled;
    bool checked;
    bool dirty = true;
  };

  template <class F>
  bool Change(UINT id, F change) {
    for (State& state : m_states) {
      if (state.id != id) continue;
      change(state);
      state.dirty = true;
      return true;
    }
    return false;
  }

  std::vector<State> m_states;
  std::vector<HWND> m_toolBars;
};
