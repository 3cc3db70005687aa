#pragma once
// Helpers of the window tests: a top-level parent that records what its
// children send it, a message pump, a thread that answers a modal dialog,
// registry values that live for one test, and window snapshots.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/framework/WindowImpl.h"

namespace ui_test {

// A visible top-level window that records the last child notification and
// answers it with m_answer.
class CTestParent : public CWindowImpl<CTestParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
 public:
  CTestParent(int width = 400, int height = 300);
  ~CTestParent() override;

  bool ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  UINT m_message = 0;
  WPARAM m_wParam = 0;
  LPARAM m_lParam = 0;
  int m_count = 0;
  LRESULT m_answer = 0;
};

// Dispatches what is queued for this thread.
void PumpMessages();

// Waits on another thread for the dialog with this caption (up to 5 s),
// runs action on it there, then leaves. Meant to be started just before the
// DoModal it answers; Join after DoModal returned.
class CDialogAnswerer {
 public:
  CDialogAnswerer(const wchar_t* caption, std::function<void(HWND)> action);
  ~CDialogAnswerer();
  bool Found() const { return m_found; }

 private:
  std::thread m_thread;
  bool m_found = false;
};

// Sends BM_CLICK to the dialog's button id.
void ClickButton(HWND dialog, int id);
// Control texts through the Unicode messages, as a user would see them,
// converted to 1251 for comparison with the program's literals.
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const char* text1251);
// The text of a combo box's selected entry; empty when none is selected.
std::string ComboSelectedText(HWND combo);

// A registry value (REG_SZ, text in 1251) or a key, removed at the end.
class CRegistryValue {
 public:
  CRegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, const char* data);
  ~CRegistryValue();
  bool Written() const { return m_written; }

 private:
  HKEY m_root;
  std::wstring m_key;
  std::wstring m_name;
  bool m_written = false;
  bool m_createdKey = false;
};

// Copies what the screen shows of the window into screenshots/<name>.bmp
// of the working folder. Waits a moment first so that it has been painted.
bool SaveScreenShot(HWND hWnd, const char* name);
// Renders the window with WM_PRINT into a 32-bit top-down bitmap.
struct CPixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;  // 0x00RRGGBB, row by row from the top
  COLORREF At(int x, int y) const;
};
CPixels PrintWindowPixels(HWND hWnd, UINT flags = PRF_ERASEBKGND | PRF_CLIENT);

}  // namespace ui_test

namespace ui_test {

// Moves the values of the system's serial-port map aside for one test (so
// that a port search tries only the test's ports) and puts them back.
class CSerialMapAside {
 public:
  CSerialMapAside();
  ~CSerialMapAside();
  CSerialMapAside(const CSerialMapAside&) = delete;
  CSerialMapAside& operator=(const CSerialMapAside&) = delete;

 private:
  std::vector<std::pair<std::wstring, std::wstring>> m_values;
};

}  // namespace ui_test

namespace ui_test {

// One control of a dialog template as the operator sees it.
struct CTemplateControl {
  const char* className;
  int id;
  const char* text;  // null: not compared
  RECT units;        // x, y, width, height in dialog units; a size of 0 is not compared
};

// Walks the dialog's children in creation order (the template's, which is
// also the tab order) and describes every difference from expected: class,
// id, text, and place as the dialog manager maps the units. Empty when all
// agree.
std::string TemplateMismatches(HWND dialog, const CTemplateControl* expected, size_t count);

}  // namespace ui_test
