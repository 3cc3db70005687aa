// Closing Varnek.exe while its worker waits: the process ends within a few
// seconds with code 1 and writes its settings file. The worker waits either
// in the 60-second pause after a message the simulator took, or in the
// countdown after a port that does not open.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "VarnekProcess.h"
#include "res/resource.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "ui/framework/Text1251.h"

namespace {

using namespace std::chrono_literals;
using e2e::CVarnekProcess;
using e2e::WaitUntil;

struct ExitCase {
  const char* name;
  int port;              // 0: no port, the worker counts down
  const char* waiting;   // the status text while the worker waits
};

class ExitDuringDelivery : public ::testing::TestWithParam<ExitCase> {};

std::string Settings(int port) {
  return "<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root><BAUDRATE>9600</BAUDRATE><PORT>" +
         std::to_string(port) +
         "</PORT><CHECK>0</CHECK><TIMEOUT>60</TIMEOUT><TIMEOUT2>60</TIMEOUT2></root>";
}

TEST_P(ExitDuringDelivery, EndsAtOnceWithCodeOneAndSavesSettings) {
  const ExitCase& c = GetParam();
  std::unique_ptr<testing_support::SimProcess> sim;
  if (c.port != 0) {
    sim = std::make_unique<testing_support::SimProcess>(c.port);
    ASSERT_TRUE(sim->Started());
  }
  testing_support::TempDir folder;
  CVarnekProcess program(ui::Wide1251(folder.Path()), Settings(c.port));
  ASSERT_NE(program.Frame(), nullptr);

  // Ten numbers from a mask, a text, start.
  PostMessageW(program.Frame(), WM_COMMAND, ID_LIST_GENERATE, 0);
  HWND mask = program.WaitForDialog("Сгенерировать по маске");
  ASSERT_NE(mask, nullptr);
  // The dialog exists before its initialisation writes the template text;
  // the mask is typed only once that text is there.
  wchar_t shown[32] = {};
  WaitUntil([&] {
    GetDlgItemTextW(mask, IDC_TEXT, shown, 32);
    return std::wstring(shown) == L"7XXXXXX****";
  }, 5000);
  SetDlgItemTextW(mask, IDC_TEXT, L"7900000000*");
  SendMessageW(GetDlgItem(mask, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount() == 10; }, 5000));
  SendMessageW(program.Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ui::Wide1251("Привет").c_str()));
  PostMessageW(program.Frame(), WM_COMMAND, ID_DELIVERY_START, 0);
  ASSERT_TRUE(WaitUntil([&] { return program.StatusText().rfind(c.waiting, 0) == 0; }, 20000))
      << program.StatusText();
  if (sim) {
    EXPECT_EQ(sim->Submissions().size(), 1u);
  }
  const std::string settings = folder.File("Varnek.xml");
  DeleteFileA(settings.c_str());

  PostMessageW(program.Frame(), WM_CLOSE, 0, 0);
  HWND question = program.WaitForDialog("Вопрос");
  ASSERT_NE(question, nullptr);
  const auto asked = std::chrono::steady_clock::now();
  SendMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  EXPECT_EQ(program.WaitExit(5000), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
  EXPECT_NE(GetFileAttributesA(settings.c_str()), INVALID_FILE_ATTRIBUTES);
}

const ExitCase kExitCases[] = {
    {"PauseAfterASend", 3, "Таймаут 60 сек ..."},
    {"PortErrorCountdown", 0, "Ошибка порта, повторный запуск через "},
};

INSTANTIATE_TEST_SUITE_P(VarnekExe, ExitDuringDelivery, ::testing::ValuesIn(kExitCases),
                         [](const ::testing::TestParamInfo<ExitCase>& tested) {
                           return std::string(tested.param.name);
                         });

}  // namespace
