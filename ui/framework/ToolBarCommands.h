#pragma once
// CCustomizableToolBarCommands<T>: the buttons a toolbar resource offers for
// customisation (image index and command, separators as such), recorded
// once from the resource.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "ui/framework/AppModule.h"
#include "ui/framework/ToolBarResource.h"

template <class T>
class CCustomizableToolBarCommands {
 public:
  // False when the module has no such toolbar.
  bool GetToolBarCommands(UINT resourceId) {
    CToolBarResource bar;
    m_tbButtons.clear();
    if (!bar.Load(GetAppModule().GetResourceInstance(), resourceId)) return false;
    for (WORD command : bar.commands) {
      TBBUTTON button{};
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = command == 0 ? BTNS_SEP : BTNS_BUTTON;
      button.idCommand = command;
      button.iBitmap = command == 0 ? 0 : bar.ImageOf(command);
      button.iString = -1;
      m_tbButtons.push_back(button);
    }
    return true;
  }

  const std::vector<TBBUTTON>& GetCustomizableButtons() const { return m_tbButtons; }

 private:
  std::vector<TBBUTTON> m_tbButtons;
};
