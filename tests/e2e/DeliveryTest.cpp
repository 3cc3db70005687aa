// Varnek.exe against the simulated modem on COM3, driven as an operator
// drives it: copied into a folder with a Russian name, the list opened
// through the menu and the file dialog, the text typed, the delivery started
// from the keyboard and stopped from the toolbar; copied into a folder whose
// name code page 1251 cannot write, a number added from the list's context
// menu and sent; with status reports asked for, the rows turning delivered
// or not as the reports come after the delivery, and a reply in the inbox.
// Settings, logs and markers stay beside the program.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "VarnekProcess.h"
#include "res/resource.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "platform/win32/WidePath.h"
#include "ui/framework/Text1251.h"

namespace {

using namespace std::chrono_literals;
using e2e::CVarnekProcess;
using e2e::WaitUntil;

constexpr int kCom = 3;
constexpr const char* kNumbers[] = {"79001112201", "79001112202", "79001112203"};
constexpr wchar_t kTyped[] = L"Привет, мир";

// more: further elements of the settings file.
std::string Settings(int port, int check, const char* more = "") {
  char xml[400];
  std::snprintf(xml, sizeof xml,
                "<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root><BAUDRATE>9600</BAUDRATE>"
                "<PORT>%d</PORT><CHECK>%d</CHECK><TIMEOUT>0</TIMEOUT><TIMEOUT2>0</TIMEOUT2>%s</root>",
                port, check, more);
  return xml;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

class DeliveryTest : public ::testing::Test {
 protected:
  // A folder for the program inside the test's own, made as Explorer makes
  // it; the program names it in 1251 ('?' for what 1251 lacks).
  std::wstring MakeProgramFolder(const std::wstring& name) {
    const std::wstring folder = ui::Wide1251(m_folder.Path()) + L"\\" + name;
    EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    return folder;
  }

  void WriteList(const std::wstring& path) {
    std::ofstream list(std::filesystem::path(path), std::ios::binary);
    for (const char* number : kNumbers) list << number << "\r\n";
  }

  // The settings file is written anew when the program ends: removed first,
  // it must be back afterwards. took, when given, gets the time from the
  // operator's "Yes" to the end.
  void CloseSavingSettings(CVarnekProcess& program, const std::wstring& folder,
                           std::chrono::steady_clock::duration* took = nullptr) {
    const std::wstring settings = folder + L"\\Varnek.xml";
    ASSERT_TRUE(DeleteFileW(settings.c_str()));
    PostMessageW(program.Frame(), WM_CLOSE, 0, 0);
    HWND question = program.WaitForDialog("Вопрос");
    ASSERT_NE(question, nullptr);
    const auto asked = std::chrono::steady_clock::now();
    SendMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitExit(5000), 1);
    if (took) *took = std::chrono::steady_clock::now() - asked;
    EXPECT_TRUE(Exists(settings));
  }

  RECT ScreenRect(HWND hWnd) const {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    return rect;
  }

  // The centre of a toolbar button, on the screen.
  POINT ButtonCentre(CVarnekProcess& program, HWND toolBar, UINT message, WPARAM which) {
    RECT rect{};
    program.Call(toolBar, message, which, &rect, sizeof rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(toolBar, &centre);
    return centre;
  }

  // "Список" on the bar, then "Открыть из файла..." with the arrows, then
  // the file in the file dialog.
  void OpenListThroughMenu(CVarnekProcess& program, const std::wstring& list,
                           const char* shot = nullptr) {
    e2e::Activate(program.Frame());
    HWND popup = e2e::ClickForMenu(ButtonCentre(program, program.MenuBar(), TB_GETITEMRECT, 0));
    ASSERT_NE(popup, nullptr);
    if (shot) {
      RECT both = ScreenRect(program.Frame());
      RECT menu = ScreenRect(popup);
      both.bottom = std::max(menu.bottom, both.top + 160);
      both.right = std::max<LONG>(menu.right + 120, both.left + 420);
      e2e::SaveScreen(both, shot);
    }
    e2e::PressKey(VK_DOWN);
    e2e::PressKey(VK_DOWN);
    e2e::PressKey(VK_RETURN);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND name = GetDlgItem(dialog, 0x480);
    if (!name) name = GetDlgItem(dialog, 0x47C);
    SetWindowTextW(name, list.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return program.RowCount() == 3; }, 5000));
    EXPECT_EQ(program.StatusText(), "Загружено номеров: 3");
  }

  void TypeMessage(CVarnekProcess& program) {
    e2e::Activate(program.Frame());
    e2e::ClickCentre(program.Editor());
    e2e::TypeText(program.Editor(), kTyped);
    wchar_t shown[64] = {};
    WaitUntil([&] {
      // GetWindowText would read the window's caption, not the edit's text.
      SendMessageW(program.Editor(), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
      return std::wstring(shown) == kTyped;
    }, 3000);
    EXPECT_EQ(std::wstring(shown), kTyped);
  }

  testing_support::TempDir m_folder;
};

// The second number is refused by the modem: its row names the cause. While
// the run goes on, the status bar counts and Start is greyed; at its end
// the status bar sums it up.
TEST_F(DeliveryTest, ListFromTheMenuIsSentWithProgressAndTheCauseOfARefusal) {
  testing_support::SimProcess sim(kCom, {"--delay", "150", "--submit", "2:cms:1"});
  ASSERT_TRUE(sim.Started());
  const std::string folder = m_folder.File("Рассылка SMS");
  const std::wstring wideFolder = MakeProgramFolder(ui::Wide1251("Рассылка SMS"));
  const std::wstring list = wideFolder + ui::Wide1251("\\номера.txt");
  WriteList(list);
  CVarnekProcess program(wideFolder, Settings(kCom, 1));
  ASSERT_NE(program.Frame(), nullptr);
  e2e::SaveScreen(ScreenRect(program.Frame()), "start");
  ASSERT_NO_FATAL_FAILURE(OpenListThroughMenu(program, list, "menu-open"));
  TypeMessage(program);
  EXPECT_EQ(program.TextPaneTitle(), "Текст - 11 (1 SMS, UCS2)");
  EXPECT_TRUE(program.ToolBarButtonEnabled(ID_DELIVERY_START));
  EXPECT_FALSE(program.ToolBarButtonEnabled(ID_DELIVERY_STOP));

  // Keyboard: F10 gives the bar the keys, Right to "Рассылка", Down opens
  // it with "Запустить" lit, Return chooses it.
  e2e::PressKey(VK_F10);
  e2e::PressKey(VK_RIGHT);
  e2e::PressKey(VK_DOWN);
  e2e::PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return StartsWith(program.StatusText(1), "Отправлено 1 из 3"); }, 20000))
      << program.StatusText(1);
  EXPECT_FALSE(program.ToolBarButtonEnabled(ID_DELIVERY_START));
  EXPECT_TRUE(program.ToolBarButtonEnabled(ID_DELIVERY_STOP));
  const std::string refused = "Ошибка отправки — +CMS ERROR: 1 (unassigned number)";
  ASSERT_TRUE(WaitUntil([&] { return program.RowText(1, 1) == refused; }, 20000)) << program.RowText(1, 1);
  e2e::SaveScreen(ScreenRect(program.Frame()), "main-window");
  const std::string summary = "Итог: отправлено 2 из 3; ошибок: 1, дублей: 0, без подтверждения: 0";
  ASSERT_TRUE(WaitUntil([&] { return program.StatusText(1) == summary && program.StatusText() == "Готов"; }, 30000))
      << program.RowText(0, 1) << " " << program.RowText(1, 1) << " " << program.RowText(2, 1)
      << " / " << program.StatusText() << " / " << program.StatusText(1);
  EXPECT_EQ(program.RowText(0, 1), "Отправлен");
  EXPECT_EQ(program.RowText(2, 1), "Отправлен");
  EXPECT_TRUE(WaitUntil([&] { return program.ToolBarButtonEnabled(ID_DELIVERY_START); }, 3000));
  e2e::SaveScreen(ScreenRect(program.Frame()), "summary");

  EXPECT_EQ(sim.Submissions().size(), 3u);
  for (const char* number : {kNumbers[0], kNumbers[2]}) {
    EXPECT_TRUE(Exists(ui::Wide1251(folder + "\\PHONES\\" + number))) << number;
    EXPECT_EQ(testing_support::LogTexts(folder, "mess", number).size(), 1u) << number;
  }
  EXPECT_FALSE(Exists(ui::Wide1251(folder + "\\PHONES\\" + kNumbers[1])));
  for (const char* log : {"modem", "engine", "mess"})
    EXPECT_FALSE(testing_support::ReadTodaysLog(folder, log).empty()) << log;
  EXPECT_FALSE(GetWindowLongPtrW(program.Editor(), GWL_STYLE) & ES_READONLY);
  CloseSavingSettings(program, wideFolder);
}

// A right click in the list opens the "Phones" popup; "Добавить номер"
// takes a number, which is sent. The program folder's name is Chinese:
// the program still reads its settings, and writes its logs and the
// number's marker, beside itself.
TEST_F(DeliveryTest, NumberFromTheContextMenuIsSentFromAFolder1251CannotName) {
  testing_support::SimProcess sim(kCom);
  ASSERT_TRUE(sim.Started());
  const std::wstring wideFolder = MakeProgramFolder(L"短信 程序");
  CVarnekProcess program(wideFolder, Settings(kCom, 1));
  ASSERT_NE(program.Frame(), nullptr);
  e2e::Activate(program.Frame());
  const RECT list = ScreenRect(program.ListView());
  const POINT inside{list.left + 140, list.top + 40};
  ASSERT_TRUE(e2e::RunOnDisplay({"xdotool mousemove " + std::to_string(inside.x) + " " +
                                 std::to_string(inside.y) + " click 3"}));
  HWND popup = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (popup = e2e::ShownPopupMenu()) != nullptr; }, 5000));
  RECT shot = ScreenRect(program.Frame());
  shot.bottom = ScreenRect(popup).bottom + 24;
  shot.right = std::max(ScreenRect(popup).right + 60, shot.left + 500);
  e2e::SaveScreen(shot, "context-menu");
  ASSERT_TRUE(e2e::RunOnDisplay({"xdotool key Down Down Down Return"}));

  HWND dialog = program.WaitForDialog("Добавить номер");
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, IDC_TEXT, L"79001112201");
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return program.RowCount() == 1; }, 5000));
  TypeMessage(program);
  PostMessageW(program.Frame(), WM_COMMAND, ID_DELIVERY_START, 0);
  ASSERT_TRUE(WaitUntil([&] { return program.RowText(0, 1) == "Отправлен" && program.StatusText() == "Готов"; }, 20000))
      << program.RowText(0, 1) << " / " << program.StatusText();

  EXPECT_EQ(sim.Submissions().size(), 1u);
  EXPECT_TRUE(Exists(wideFolder + L"\\PHONES\\79001112201"));
  const std::string folder = platform::NarrowPath(wideFolder);
  for (const char* log : {"modem", "engine", "mess"})
    EXPECT_FALSE(testing_support::ReadTodaysLog(folder, log).empty()) << log;
  CloseSavingSettings(program, wideFolder);
}

// The list was prepared by hand: a name before one number, two files joined
// with a byte order mark, a number written the domestic way. The load says
// so in one message, then the silent modem's countdown runs.
TEST_F(DeliveryTest, LoadMessageNamesThePreparedListsMistakesAndASilentModemCountsDown) {
  testing_support::SimProcess sim(kCom, {"--silent"});
  ASSERT_TRUE(sim.Started());
  const std::wstring folder = MakeProgramFolder(L"Varnek");
  std::ofstream(std::filesystem::path(folder + L"\\numbers.txt"), std::ios::binary)
      << "79001112201\r\nИванов 79001112209\r\n\xEF\xBB\xBF" "89001112202\r\n79001112203\r\n";
  CVarnekProcess program(folder, Settings(kCom, 0));
  ASSERT_NE(program.Frame(), nullptr);
  ASSERT_NO_FATAL_FAILURE(OpenListThroughMenu(program, folder + L"\\numbers.txt"));
  HWND box = program.WaitForDialog("Сообщение");
  ASSERT_NE(box, nullptr);
  const std::string said = e2e::WindowText(GetDlgItem(box, 0xFFFF));
  e2e::SaveScreen(ScreenRect(box), "load-message");
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  for (const char* line : {"Загружено номеров: 3.", "строка 2: \"Иванов 79001112209\"",
                           "Метка порядка байтов в начале строки пропущена",
                           "строка 3: 89001112202 отправится на 79001112202"})
    EXPECT_NE(said.find(line), std::string::npos) << line << "\n" << said;
  TypeMessage(program);
  HWND toolBar = FindWindowExW(GetParent(program.MenuBar()), nullptr, TOOLBARCLASSNAMEW, nullptr);
  ASSERT_NE(toolBar, nullptr);
  e2e::ClickAt(ButtonCentre(program, toolBar, TB_GETRECT, ID_DELIVERY_START));

  const std::string countdown = "Ошибка порта, повторный запуск через ";
  ASSERT_TRUE(WaitUntil([&] { return StartsWith(program.StatusText(), countdown); }, 30000))
      << program.StatusText();
  EXPECT_EQ(program.RowText(0, 1), "Ошибка порта — no answer to AT");
  const std::string first = program.StatusText();
  ASSERT_TRUE(WaitUntil([&] { return program.StatusText() != first; }, 3000));
  EXPECT_TRUE(StartsWith(program.StatusText(), countdown)) << program.StatusText();
  e2e::SaveScreen(ScreenRect(toolBar), "toolbar");

  e2e::ClickAt(ButtonCentre(program, toolBar, TB_GETRECT, ID_DELIVERY_STOP));
  const auto stopped = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] { return program.StatusText() == "Готов"; }, 5000)) << program.StatusText();
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1500ms);
  EXPECT_TRUE(sim.Submissions().empty());
}

// Reports asked for; the modem stores them (with a notice) a second or two
// after each message, mostly once the delivery has ended: the window keeps
// listening, and each row turns "Доставлен", the refused one "Не доставлен"
// with the status named. A reply the modem held is in the inbox. Closing
// while it listens ends the program at once.
TEST_F(DeliveryTest, ReportsComeWhileTheWindowListensAndTheInboxShowsTheReply) {
  testing_support::SimProcess sim(kCom, {"--profile", "reports-stored", "--report-delay", "1500:2000",
                                         "--report-status", "2:46", "--stored-message",
                                         u8"+79001112299:Спасибо, получил"});
  ASSERT_TRUE(sim.Started());
  const std::wstring folder = MakeProgramFolder(L"Varnek");
  WriteList(folder + L"\\numbers.txt");
  CVarnekProcess program(folder, Settings(kCom, 1, "<REPORTS>1</REPORTS>"));
  ASSERT_NE(program.Frame(), nullptr);
  ASSERT_NO_FATAL_FAILURE(OpenListThroughMenu(program, folder + L"\\numbers.txt"));
  TypeMessage(program);
  PostMessageW(program.Frame(), WM_COMMAND, ID_DELIVERY_START, 0);

  ASSERT_TRUE(WaitUntil([&] { return program.StatusText() == "Ожидание отчетов о доставке..."; }, 20000))
      << program.StatusText();
  const std::string failed = "Не доставлен — validity period expired (0x46)";
  ASSERT_TRUE(WaitUntil([&] {
    return program.RowText(0, 1) == "Доставлен" && program.RowText(1, 1) == failed &&
           program.RowText(2, 1) == "Доставлен";
  }, 10000)) << program.RowText(0, 1) << " / " << program.RowText(1, 1) << " / " << program.RowText(2, 1);
  const std::string summary =
      "Итог: отправлено 3 из 3; ошибок: 0, дублей: 0, без подтверждения: 0; доставлено: 2, "
      "не доставлено: 1";
  EXPECT_TRUE(WaitUntil([&] { return program.StatusText(1) == summary; }, 3000)) << program.StatusText(1);
  EXPECT_EQ(program.StatusText(), "Ожидание отчетов о доставке...");
  e2e::SaveScreen(ScreenRect(program.Frame()), "reports");

  PostMessageW(program.Frame(), WM_COMMAND, ID_INBOX, 0);
  HWND inbox = program.WaitForDialog("Входящие сообщения");
  ASSERT_NE(inbox, nullptr);
  HWND replies = GetDlgItem(inbox, IDC_INBOXLIST);
  ASSERT_EQ(program.RowCount(replies), 1);
  EXPECT_EQ(program.RowText(0, 1, replies), "+79001112299");
  EXPECT_EQ(program.RowText(0, 2, replies), "Спасибо, получил");
  const std::string state = e2e::WindowText(GetDlgItem(inbox, IDC_INBOXSTATE));
  EXPECT_TRUE(StartsWith(state, "Сообщений: 1,") && state.find("replies.csv") != std::string::npos) << state;
  e2e::SaveScreen(ScreenRect(inbox), "inbox");
  SendMessageW(GetDlgItem(inbox, IDCANCEL), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(inbox); }, 5000));

  std::chrono::steady_clock::duration took{};
  ASSERT_NO_FATAL_FAILURE(CloseSavingSettings(program, folder, &took));
  EXPECT_LT(took, 2500ms) << "the listening ends within a second";
  EXPECT_EQ(sim.Submissions().size(), 3u);
}

}  // namespace
