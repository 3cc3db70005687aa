// Closing Varnek.exe while its worker waits: the process ends within a few
// seconds with code 1 and writes its settings file.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "support/TempDir.h"
#include "ui/framework/Text1251.h"

namespace {

using namespace std::chrono_literals;

// Port 0 never opens: the worker marks the number and counts ten seconds
// down before it tries again, so it is always waiting when the test closes.
constexpr char kSettings[] =
    "<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root><BAUDRATE>0</BAUDRATE>"
    "<PORT>0</PORT><CHECK>0</CHECK><TIMEOUT>60</TIMEOUT><TIMEOUT2>60</TIMEOUT2></root>";

HWND WaitForWindow(const wchar_t* className, const std::string& caption1251) {
  const std::wstring caption = ui::Wide1251(caption1251);
  for (int i = 0; i < 1000; ++i) {
    if (HWND found = FindWindowW(className, caption.c_str())) return found;
    std::this_thread::sleep_for(10ms);
  }
  return nullptr;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The editor: the EDIT-class descendant of the frame.
HWND FindEditor(HWND frame) {
  HWND found = nullptr;
  EnumChildWindows(
      frame,
      [](HWND child, LPARAM out) {
        if (GetWindowLongPtrW(child, GWL_STYLE) & ES_MULTILINE) {
          wchar_t name[64] = {};
          GetClassNameW(child, name, 64);
          if (std::wstring(name).find(L"Edit") != std::wstring::npos) {
            *reinterpret_cast<HWND*>(out) = child;
            return FALSE;
          }
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class CProgram {
 public:
  explicit CProgram(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + exe + "\"";
    m_started = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &m_info) != FALSE;
  }
  ~CProgram() {
    if (!m_started) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 9);
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
  }
  bool Started() const { return m_started; }
  // The exit code, or -1 when it has not ended in time.
  long WaitExit(DWORD milliseconds) const {
    if (WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION m_info{};
  bool m_started = false;
};

TEST(VarnekExe, ExitWhileTheWorkerWaitsEndsAtOnceAndSavesSettings) {
  testing_support::TempDir folder;
  const std::string exe = folder.File("Varnek.exe");
  ASSERT_TRUE(CopyFileA(VARNEK_EXE, exe.c_str(), FALSE));
  std::ofstream(folder.File("Varnek.xml"), std::ios::binary) << kSettings;
  const std::string settings = folder.File("Varnek.xml");
  CProgram program(exe);
  ASSERT_TRUE(program.Started());
  HWND frame = WaitForWindow(nullptr, "Рассылка SMS сообщений");
  ASSERT_NE(frame, nullptr);

  // Ten numbers from a mask, a text, start.
  PostMessageW(frame, WM_COMMAND, 32782, 0);
  HWND mask = WaitForWindow(L"#32770", "Диалог");
  ASSERT_NE(mask, nullptr);
  // The dialog exists before its initialisation writes the template text;
  // the mask is typed only once that text is there.
  wchar_t shown[32] = {};
  for (int i = 0; i < 500 && std::wstring(shown) != L"7XXXXXX****"; ++i) {
    std::this_thread::sleep_for(10ms);
    GetDlgItemTextW(mask, 1001, shown, 32);
  }
  SetDlgItemTextW(mask, 1001, L"7900000000*");
  Click(mask, IDOK);
  HWND editor = FindEditor(frame);
  ASSERT_NE(editor, nullptr);
  SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ui::Wide1251("Привет").c_str()));
  PostMessageW(frame, WM_COMMAND, 32775, 0);
  std::this_thread::sleep_for(500ms);
  DeleteFileA(settings.c_str());

  PostMessageW(frame, WM_CLOSE, 0, 0);
  HWND question = WaitForWindow(L"#32770", "Вопрос");
  ASSERT_NE(question, nullptr);
  const auto asked = std::chrono::steady_clock::now();
  Click(question, IDYES);
  EXPECT_EQ(program.WaitExit(5000), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
  EXPECT_NE(GetFileAttributesA(settings.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
