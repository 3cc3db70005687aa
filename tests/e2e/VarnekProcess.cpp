#include "VarnekProcess.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/win32/DisplayCommands.h"
#include "ui/framework/Text1251.h"

namespace e2e {

namespace {

constexpr char kFrameTitle[] = "Рассылка SMS сообщений";
constexpr DWORD kWindowLimitMs = 10000;

// The first descendant of parent of class className whose style has all of
// styleBits.
HWND FindDescendant(HWND parent, const wchar_t* className, DWORD styleBits = 0) {
  struct Search {
    const wchar_t* className;
    DWORD styleBits;
    HWND found;
  } search{className, styleBits, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (_wcsicmp(name, s->className) != 0 || (style & s->styleBits) != s->styleBits) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  // The program's thread takes the input from its queue.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

INPUT KeyInput(WORD virtualKey, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = flags;
  return input;
}


}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

CVarnekProcess::CVarnekProcess(const std::wstring& folder, const std::string& settingsXml) {
  const std::wstring exe = folder + L"\\Varnek.exe";
  if (!CopyFileW(ui::Wide1251(VARNEK_EXE).c_str(), exe.c_str(), FALSE)) return;
  std::ofstream(std::filesystem::path(folder + L"\\Varnek.xml"), std::ios::binary) << settingsXml;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + exe + L"\"";
  m_started = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &m_info) != FALSE;
  if (!m_started) return;
  const std::wstring title = ui::Wide1251(kFrameTitle);
  WaitUntil(
      [&] {
        HWND found = FindWindowW(nullptr, title.c_str());
        DWORD process = 0;
        if (found) GetWindowThreadProcessId(found, &process);
        if (process == m_info.dwProcessId && IsWindowVisible(found)) m_frame = found;
        return m_frame != nullptr;
      },
      kWindowLimitMs);
}

CVarnekProcess::~CVarnekProcess() {
  if (!m_started) return;
  if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_info.hProcess, 9);
    WaitForSingleObject(m_info.hProcess, 5000);
  }
  CloseHandle(m_info.hThread);
  CloseHandle(m_info.hProcess);
}

long CVarnekProcess::WaitExit(DWORD milliseconds) const {
  if (!m_started || WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(m_info.hProcess, &code);
  return static_cast<long>(code);
}

HWND CVarnekProcess::MenuBar() const { return FindDescendant(m_frame, L"WTL_CommandBarXP"); }
HWND CVarnekProcess::ListView() const { return FindDescendant(m_frame, L"VarnekListView"); }
HWND CVarnekProcess::Editor() const { return FindDescendant(m_frame, L"VarnekEditView"); }
HWND CVarnekProcess::StatusBar() const { return FindDescendant(m_frame, STATUSCLASSNAMEW); }

LRESULT CVarnekProcess::Call(HWND hWnd, UINT message, WPARAM wParam, void* out,
                             size_t bytes) const {
  void* remote = VirtualAllocEx(m_info.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return 0;
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(hWnd, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000,
                      &answer);
  ReadProcessMemory(m_info.hProcess, remote, out, bytes, nullptr);
  VirtualFreeEx(m_info.hProcess, remote, 0, MEM_RELEASE);
  return static_cast<LRESULT>(answer);
}

int CVarnekProcess::RowCount(HWND list) const {
  return static_cast<int>(SendMessageW(list ? list : ListView(), LVM_GETITEMCOUNT, 0, 0));
}

// The item record and its text buffer in one block of the program's memory.
std::string CVarnekProcess::RowText(int row, int column, HWND list) const {
  struct Block {
    LVITEMW item;
    wchar_t text[256];
  };
  void* remote = VirtualAllocEx(m_info.hProcess, nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return {};
  Block block{};
  block.item.iSubItem = column;
  block.item.cchTextMax = 255;
  block.item.pszText = reinterpret_cast<Block*>(remote)->text;
  WriteProcessMemory(m_info.hProcess, remote, &block, sizeof(block), nullptr);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(list ? list : ListView(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote),
                      SMTO_NORMAL, 5000, &ignored);
  ReadProcessMemory(m_info.hProcess, remote, &block, sizeof(block), nullptr);
  VirtualFreeEx(m_info.hProcess, remote, 0, MEM_RELEASE);
  block.text[255] = L'\0';
  return ui::Narrow1251(block.text);
}

HWND CVarnekProcess::ToolBar() const {
  return FindWindowExW(GetParent(MenuBar()), nullptr, TOOLBARCLASSNAMEW, nullptr);
}

std::string CVarnekProcess::StatusText(int part) const {
  wchar_t text[256] = {};
  if (part >= SendMessageW(StatusBar(), SB_GETPARTS, 0, 0)) return std::string();
  Call(StatusBar(), SB_GETTEXTW, part, text, sizeof(text));
  text[255] = L'\0';
  return ui::Narrow1251(text);
}

// Both panes are children of the splitter.
std::string CVarnekProcess::TextPaneTitle() const {
  const std::string start = "Текст";
  for (HWND pane = FindDescendant(m_frame, L"VarnekGreenPane"); pane;
       pane = FindWindowExW(GetParent(pane), pane, L"VarnekGreenPane", nullptr)) {
    const std::string title = WindowText(pane);
    if (title.compare(0, start.size(), start) == 0) return title;
  }
  return std::string();
}

std::string CVarnekProcess::ComboText(HWND combo) const {
  const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return std::string();
  // Carried across processes by the system, as WM_GETTEXT is.
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0 || length >= 256) return std::string();
  wchar_t text[256] = {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return ui::Narrow1251(text);
}

bool CVarnekProcess::ToolBarButtonEnabled(UINT command) const {
  return SendMessageW(ToolBar(), TB_ISBUTTONENABLED, command, 0) != 0;
}

HWND CVarnekProcess::WaitForDialog(const std::string& caption1251) const {
  const std::wstring caption = ui::Wide1251(caption1251);
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
          wchar_t title[128] = {};
          GetWindowTextW(w, title, 128);
          if (GetWindow(w, GW_OWNER) == m_frame && IsWindowVisible(w) &&
              (caption.empty() || caption == title)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      5000);
  return found;
}

std::string WindowText(HWND hWnd) {
  const auto length = SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  return ui::Narrow1251(text.c_str());
}

void ClickAt(POINT screen) {
  SendInputs({MouseInput(MOUSEEVENTF_MOVE, screen), MouseInput(MOUSEEVENTF_LEFTDOWN, screen),
              MouseInput(MOUSEEVENTF_LEFTUP, screen)});
}

bool RunOnDisplay(const std::vector<std::string>& commands) {
  testing_support::CDisplayCommands run(commands);
  return run.Started() && WaitUntil([&] { return run.Done(); }, 10000);
}

void ClickCentre(HWND hWnd) {
  RECT rect{};
  GetWindowRect(hWnd, &rect);
  ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

HWND ShownPopupMenu() {
  for (HWND menu = FindWindowW(L"#32768", nullptr); menu;
       menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
    if (IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

HWND ClickForMenu(POINT screen) {
  HWND menu = nullptr;
  for (int click = 0; click < 3 && menu == nullptr; ++click) {
    ClickAt(screen);
    WaitUntil([&] { return (menu = ShownPopupMenu()) != nullptr; }, 2000);
  }
  return menu;
}

void PressKey(WORD virtualKey) {
  SendInputs({KeyInput(virtualKey, 0), KeyInput(virtualKey, KEYEVENTF_KEYUP)});
}

void TypeText(HWND hWnd, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(hWnd, WM_CHAR, c, 1);
}

void Activate(HWND hWnd) {
  SetForegroundWindow(hWnd);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// The X server's picture: in Wine, this process's screen DC does not show
// the windows of another process.
bool SaveScreen(const RECT& rect, const char* name) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // painted by the program's thread
  CreateDirectoryW(L"screenshots", nullptr);
  char crop[64];
  std::snprintf(crop, sizeof crop, "%dx%d+%ld+%ld", width, height, rect.left, rect.top);
  return RunOnDisplay({std::string("import -window root -crop ") + crop + " screenshots/" + name +
                       ".png"});
}

}  // namespace e2e
