#pragma once
// The command bar: a menu shown as a toolbar whose buttons are the menu's
// top-level items, on the system toolbar class.
//
// A click on a button opens its popup under it; while a popup is open,
// moving the pointer onto another button opens that one instead, a click on
// its own button closes it, and Left or Right at the first level move to the
// neighbouring popup. Alt alone or
// F10 give the bar the keyboard: Left and Right move between buttons, Down,
// Up or Enter open the popup, a mnemonic (the letter after "&", without
// case) opens its popup, any other letter beeps, Escape gives the keyboard
// back. Alt with a mnemonic opens the popup at once. When the system hides
// keyboard cues, the underlines show only while the bar has the keyboard.
//
// While a popup is shown its items are owner-drawn (the text, type, state
// and the command's image index are kept) and they are turned back into
// text items when the menu closes. The bar owns the menu's popups' owner
// messages and sends the commands and the menu-select prompts on to the
// top-level window.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/framework/MessageLoop.h"
#include "ui/framework/WindowImpl.h"

// What an owner-drawn popup item keeps of its text item.
struct CMenuItemData {
  UINT type = 0;   // MFT_... without MFT_OWNERDRAW
  UINT state = 0;  // MFS_...
  UINT id = 0;
  bool hasSubMenu = false;
  bool isDefault = false;
  int image = -1;  // index in the bar's image list, -1 for none
  std::wstring text;
};

class CCommandBarCtrlBase : public CWindowImplBaseT<CWindow>, public CMessageFilter {
 public:
  static constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                     TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NODIVIDER |
                                     CCS_NOPARENTALIGN | CCS_NORESIZE;

  CCommandBarCtrlBase() = default;
  ~CCommandBarCtrlBase() override;

  // Replaces the buttons with the menu's top-level items. The bar does not
  // own the menu.
  bool AttachMenu(HMENU menu);
  HMENU GetMenu() const { return m_hMenu; }
  // Images of toolbar resource resourceId for the popup items of its
  // commands (RGB(192, 192, 192) transparent).
  bool LoadImages(UINT resourceId);
  HIMAGELIST GetImageList() const { return m_images; }
  int ImageOf(UINT command) const;

  // A context menu with the bar's popup look; commands go to the top-level
  // window.
  virtual BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, TPMPARAMS* params = nullptr);

  bool HasKeyboard() const { return m_keyboardMode; }
  // Whether mnemonic underlines are drawn now.
  bool ShowKeyboardCues() const { return m_keyboardMode || m_systemCues; }
  HFONT GetMenuFont() const { return m_menuFont; }
  SIZE GetImageSize() const { return m_imageSize; }
  int FindMnemonic(wchar_t letter) const;  // button index, -1 when none

  bool PreTranslateMessage(MSG* message) override;
  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  // Opens the popup of button index (keyboard: with its first item
  // selected), following the pointer or the arrows to other buttons.
  void TrackBarPopup(int index, bool fromKeyboard);

 protected:
  HWND CreateBar(CWndClassInfo& info, HWND parent, const RECT* rect, DWORD style, UINT id);

  // Drawing of the popup items; the plain version draws like a menu.
  virtual void MeasureMenuItem(MEASUREITEMSTRUCT* measure, const CMenuItemData& item);
  virtual void DrawMenuItem(const DRAWITEMSTRUCT* draw, const CMenuItemData& item);
  // The popup from button rect (screen coordinates), or a context menu
  // (fromBar false). The command bar's look wraps this.
  virtual BOOL DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, TPMPARAMS* params,
                                bool fromBar);
  virtual void OnSettingChange();

  SIZE m_imageSize{16, 15};
  SIZE m_buttonSize{22, 21};
  HWND m_hWndNotify = nullptr;  // the top-level window

 private:
  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnUninitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnMeasureItem(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnSettingChangeMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  static LRESULT CALLBACK MessageFilterHook(int code, WPARAM wParam, LPARAM lParam);
  bool OnMenuMessage(const MSG& message);
  int ButtonAtScreen(POINT point) const;  // -1 when no button is there
  void OnMenuMouseMove(POINT point);
  bool OnMenuButtonDown(int index);
  bool OnMenuKeyDown(WPARAM key);
  bool OnKeyboardModeMessage(const MSG& message);
  bool OnAltMessage(const MSG& message);

  void ConvertToOwnerDraw(HMENU menu);
  void RestoreMenuItems();
  void EnterKeyboardMode();
  void LeaveKeyboardMode();
  void SetHotButton(int index);
  int ButtonCount() const;
  void ReadMenuFont();
  void UpdateSystemCues();

  HMENU m_hMenu = nullptr;
  HIMAGELIST m_images = nullptr;
  std::vector<std::pair<UINT, int>> m_imageOf;  // command, image
  HFONT m_menuFont = nullptr;

  std::vector<std::unique_ptr<CMenuItemData>> m_itemData;
  std::vector<HMENU> m_convertedMenus;

  // Tracking state of a bar popup.
  int m_trackIndex = -1;
  int m_nextIndex = -1;
  bool m_nextFromKeyboard = false;
  int m_popupDepth = 0;
  bool m_selectedHasPopup = false;
  POINT m_pointer{};  // where the pointer was last seen in the menu loop, screen
  HHOOK m_msgHook = nullptr;

  bool m_keyboardMode = false;
  bool m_systemCues = true;
  bool m_altAlone = false;  // Alt went down and nothing else since
  HWND m_focusBefore = nullptr;
  int m_hotIndex = -1;
};

template <class T, class TBase = CCommandBarCtrlBase>
class CCommandBarCtrlImpl : public TBase {
 public:
  HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* name = nullptr,
              DWORD style = CCommandBarCtrlBase::kBarStyle, DWORD exStyle = 0, UINT id = 0xE802) {
    (void)name;
    (void)exStyle;
    return this->CreateBar(T::GetWndClassInfo(), parent, rect, style, id);
  }
};

class CCommandBarCtrl : public CCommandBarCtrlImpl<CCommandBarCtrl> {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo info{L"VarnekCommandBar", TOOLBARCLASSNAMEW};
    return info;
  }
};
