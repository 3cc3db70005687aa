// The main window in-process: its commands, questions and titles, with the
// message boxes and dialogs answered from another thread.
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "MainFrameFixture.h"
#include "ui/framework/AppModule.h"

namespace {

using frame_test::CBoxAnswer;
using frame_test::MainFrameTest;

TEST_F(MainFrameTest, CreationShowsReadyAndPanes) {
  EXPECT_EQ(StatusText(), "Готов");
  EXPECT_STREQ(m_frame.m_listPane.m_szTitle, "Список");
  EXPECT_STREQ(m_frame.m_textPane.m_szTitle, "Текст");
  EXPECT_EQ(::GetMenu(m_frame), nullptr);
  EXPECT_EQ(::SendMessageW(m_frame.m_CmdBar, TB_BUTTONCOUNT, 0, 0), 4);
}

// The toolbar in list style, each label right of its image; the flat look
// draws it (its custom drawing reaches the bar through the frame).
TEST_F(MainFrameTest, ToolBarShowsLabelsBesideImages) {
  HWND toolBar = ::FindWindowExW(m_frame.m_hWndToolBar, nullptr, TOOLBARCLASSNAMEW, nullptr);
  ASSERT_NE(toolBar, nullptr);
  const auto style = static_cast<DWORD>(::SendMessageW(toolBar, TB_GETSTYLE, 0, 0));
  EXPECT_EQ(style & (TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE),
            DWORD{TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE});
  RECT open{};
  ASSERT_TRUE(::SendMessageW(toolBar, TB_GETRECT, ID_LIST_OPEN, reinterpret_cast<LPARAM>(&open)));
  // Beside, not below: the button is no taller than an image with a margin.
  EXPECT_LT(open.bottom - open.top, 2 * 14);
  EXPECT_GT(open.right - open.left, 16 + 8 + 20);
}

// The title counts characters and the messages the text goes out as, with
// the encoding the delivery would choose.
TEST_F(MainFrameTest, TypingSetsThePaneTitleWithLengthPartsAndEncoding) {
  struct Case {
    std::string typed;
    const char* title;
  };
  const Case cases[] = {
      {"абвгд", "Текст - 5 (1 SMS, UCS2)"},
      {"Hello", "Текст - 5 (1 SMS, 7 бит)"},
      {std::string(188, 'ж'), "Текст - 188 (3 SMS, UCS2)"},
      {std::string(160, 'a'), "Текст - 160 (1 SMS, 7 бит)"},
      {std::string(161, 'a'), "Текст - 161 (3 SMS, UCS2)"},
      {"\x80\x88", "Текст - 2 (нет знаков для SMS)"},
      {std::string(500, 'b'), "Текст - 500 (8 SMS, UCS2), уйдут первые 498"},
      {"", "Текст - 0"},
  };
  for (const Case& c : cases) {
    // As typed: a multi-line edit reports no change for WM_SETTEXT.
    m_frame.m_edit.SetSel(0, -1);
    m_frame.m_edit.ReplaceSel(c.typed.c_str());
    EXPECT_STREQ(m_frame.m_textPane.m_szTitle, c.title) << c.typed.size() << " characters";
  }
}

TEST_F(MainFrameTest, EmptyEditorRefusesToStartUnderTheLatinCaption) {
  CBoxAnswer box("C" "ообщение", IDOK);
  Command(ID_DELIVERY_START);
  EXPECT_TRUE(box.Shown());
  EXPECT_EQ(box.text, "Не указан текст сообщения");
  EXPECT_EQ(GetEngine().m_thread.load(), nullptr);
  EXPECT_FALSE(m_frame.m_edit.GetStyle() & ES_READONLY);
}

TEST_F(MainFrameTest, LongTextIsCutTo498InEditorMessageAndPaneTitle) {
  m_frame.m_edit.SetWindowText1251(std::string(600, 'a').c_str());
  Command(ID_DELIVERY_START);
  StopWorker();
  EXPECT_EQ(GetEngine().m_message, std::string(498, 'a'));
  EXPECT_EQ(m_frame.m_edit.GetWindowTextLength(), 498);
  EXPECT_STREQ(m_frame.m_textPane.m_szTitle, "Текст - 498 (8 SMS, UCS2)");
}

// Characters outside the SMS alphabet are dropped before sending: a text of
// nothing else would go out empty.
TEST_F(MainFrameTest, TextWithNothingToSendRefusesToStart) {
  AddItems(1);
  m_frame.m_edit.SetWindowText1251("\x80\x88");
  CBoxAnswer box("Сообщение", IDOK);
  Command(ID_DELIVERY_START);
  EXPECT_TRUE(box.Shown());
  EXPECT_EQ(box.text.rfind("В тексте нет ни одного знака", 0), 0u) << box.text;
  EXPECT_EQ(GetEngine().m_thread.load(), nullptr);
}

TEST_F(MainFrameTest, StartSelectedWithoutSelectionSaysSo) {
  AddItems(2);
  CBoxAnswer box("Сообщение", IDOK);
  Command(ID_DELIVERY_START_SELECTED);
  EXPECT_TRUE(box.Shown());
  EXPECT_EQ(box.text, "Не выделен номер из списка");
}

TEST_F(MainFrameTest, StartSelectedBeginsAtTheSelectedRow) {
  StartRunningWorker();
  StopWorker();
  m_frame.m_list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  Command(ID_DELIVERY_START_SELECTED);
  Pump(100);
  EXPECT_EQ(GetEngine().m_position.load(), 2);
  // The rows above keep their states: the worker never went back to them.
  EXPECT_EQ(GetEngine().m_items[1].m_state, Accepted);
}

// Whether command is enabled where the operator finds it: the toolbar, the
// bar's popups, and the list's context menu (menu 128's first popup), whose
// popups the command bar owns. -1 where the command is not offered.
struct CommandStates {
  int toolBar = -1;
  int menu = -1;
  int contextMenu = -1;
};

int MenuState(HMENU menu, UINT command) {
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  return state == 0xFFFFFFFF ? -1 : (state & MF_GRAYED) ? 0 : 1;
}

TEST_F(MainFrameTest, CommandsAreGreyedWhileSendingAndRefusedBehindThat) {
  HWND toolBar = ::FindWindowExW(m_frame.m_hWndToolBar, nullptr, TOOLBARCLASSNAMEW, nullptr);
  auto states = [&](UINT command) {
    m_frame.OnIdle();
    CommandStates shown;
    if (::SendMessageW(toolBar, TB_COMMANDTOINDEX, command, 0) >= 0)
      shown.toolBar = ::SendMessageW(toolBar, TB_ISBUTTONENABLED, command, 0) != 0;
    HMENU bar = LoadMenuW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(IDR_VARNEK));
    for (int popup = 0; popup < GetMenuItemCount(bar); ++popup) {
      HMENU items = GetSubMenu(bar, popup);
      m_frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(items), popup);
      shown.menu = std::max(shown.menu, MenuState(items, command));
    }
    HMENU phones = LoadMenuW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    HMENU context = GetSubMenu(phones, 0);
    ::SendMessageW(m_frame.m_CmdBar, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(context), 0);
    shown.contextMenu = MenuState(context, command);
    DestroyMenu(bar);
    DestroyMenu(phones);
    return shown;
  };
  const UINT refused[] = {ID_DELIVERY_START, ID_DELIVERY_START_SELECTED, ID_LIST_CLEAR, ID_LIST_OPEN,
                          ID_LIST_ADD, ID_LIST_GENERATE, ID_SETUP, ID_DELIVERY_RESEND_UNCONFIRMED};
  auto expectAll = [&](bool running) {
    SCOPED_TRACE(running ? "running" : "idle");
    for (UINT id : refused) {
      const CommandStates shown = states(id);
      for (int state : {shown.toolBar, shown.menu, shown.contextMenu}) {
        if (state >= 0) {
          EXPECT_EQ(state, running ? 0 : 1) << id;
        }
      }
    }
    const CommandStates stop = states(ID_DELIVERY_STOP);
    EXPECT_EQ(stop.toolBar, running ? 1 : 0);
    EXPECT_EQ(stop.menu, running ? 1 : 0);
    EXPECT_EQ(states(ID_HELP_ABOUT).toolBar, 1);
    EXPECT_EQ(states(ID_LIST_ADD).contextMenu, running ? 0 : 1);
    EXPECT_EQ(states(ID_DELIVERY_RESEND_UNCONFIRMED).contextMenu, running ? 0 : 1);
    EXPECT_EQ(states(ID_INBOX).menu, 1) << "the replies can be read during a delivery";
  };
  expectAll(false);
  StartRunningWorker();
  expectAll(true);
  StopWorker();
  expectAll(false);
}

TEST_F(MainFrameTest, CommandsAreRefusedWhileSending) {
  StartRunningWorker();
  EXPECT_TRUE(m_frame.m_edit.GetStyle() & ES_READONLY);
  const int position = GetEngine().m_position;
  const UINT refused[] = {ID_DELIVERY_START, ID_LIST_CLEAR, ID_LIST_OPEN, ID_LIST_ADD,
                          ID_LIST_GENERATE, ID_SETUP, ID_DELIVERY_RESEND_UNCONFIRMED};
  for (UINT id : refused) {
    CBoxAnswer box("Сообщение", IDOK);
    Command(id);
    EXPECT_TRUE(box.Shown()) << id;
    EXPECT_EQ(box.text, "Идет отправка сообщений. Для выполнения команды остановите отправку.") << id;
  }
  EXPECT_EQ(GetEngine().m_position.load(), position);
  EXPECT_EQ(GetEngine().m_items.size(), 3u);
  CBoxAnswer noRow("Сообщение", IDOK);
  Command(ID_DELIVERY_START_SELECTED);
  EXPECT_TRUE(noRow.Shown());
  EXPECT_EQ(noRow.text, "Не выделен номер из списка");
  StopWorker();
  EXPECT_FALSE(m_frame.m_edit.GetStyle() & ES_READONLY);
}

// The second part of the status bar counts while the worker runs (port 0
// never opens: the number in hand fails with a port error) and sums up
// when it has ended; a new list takes the old tally away.
TEST_F(MainFrameTest, StopWhenIdleDoesNothing) {
  Command(ID_DELIVERY_STOP);
  EXPECT_EQ(StatusText(), "Готов");
}

TEST_F(MainFrameTest, ClearAsksOnlyForANonEmptyListAndNoKeepsIt) {
  Command(ID_LIST_CLEAR);  // empty: no question would be answered here
  EXPECT_EQ(m_frame.m_list.GetItemCount(), 0);
  AddItems(2);
  {
    CBoxAnswer box("Вопрос", IDNO);
    Command(ID_LIST_CLEAR);
    EXPECT_TRUE(box.Shown());
    EXPECT_EQ(box.text, "Текущие номера списка будут удалены. Продолжить?");
  }
  EXPECT_EQ(GetEngine().m_items.size(), 2u);
  CBoxAnswer yes("Вопрос", IDYES);
  Command(ID_LIST_CLEAR);
  EXPECT_TRUE(yes.Shown());
  EXPECT_TRUE(GetEngine().m_items.empty());
  EXPECT_EQ(m_frame.m_list.GetItemCount(), 0);
}

TEST_F(MainFrameTest, AddNumberRejectsTenDigitsAndReopensWithThem) {
  std::string reopened;
  std::thread answers([&reopened] {
    const std::wstring dialog = ui::Wide1251("Добавить номер");
    const std::wstring info = ui::Wide1251("Сообщение");
    // Visible: the dialog exists before its initialisation fills it.
    auto find = [](const std::wstring& caption) {
      for (int i = 0; i < 500; ++i) {
        HWND found = FindWindowW(L"#32770", caption.c_str());
        if (found && IsWindowVisible(found)) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      return HWND{};
    };
    HWND first = find(dialog);
    ui_test::SetControlText(first, IDC_TEXT, "7900000000");
    ui_test::ClickButton(first, IDOK);
    HWND box = find(info);
    ui_test::ClickButton(box, IDOK);
    HWND second = nullptr;
    for (int i = 0; i < 200 && reopened.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      second = find(dialog);
      reopened = ui_test::ControlText(second, IDC_TEXT);
    }
    ui_test::SetControlText(second, IDC_TEXT, "79000000001");
    ui_test::ClickButton(second, IDOK);
  });
  m_frame.m_edit.SetWindowText1251("текст");
  Command(ID_LIST_ADD);
  answers.join();
  EXPECT_EQ(reopened, "7900000000");
  ASSERT_EQ(GetEngine().m_items.size(), 1u);
  EXPECT_EQ(GetEngine().m_items[0].m_number, "79000000001");
  EXPECT_EQ(m_frame.m_list.GetItemText(0, 1), "Принят");
  EXPECT_EQ(m_frame.m_list.GetItemText(0, 2), "текст");
}

// A mask that gives no numbers (no *) is asked for again, and the list the
// operator had stays as it was.
TEST_F(MainFrameTest, MaskWithoutStarsKeepsTheListAndAsksAgain) {
  AddItems(2);
  std::string said, reopened;
  std::thread answers([&] {
    auto find = [](const char* caption) {
      const std::wstring wide = ui::Wide1251(caption);
      for (int i = 0; i < 500; ++i) {
        HWND found = FindWindowW(L"#32770", wide.c_str());
        if (found && IsWindowVisible(found)) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      return HWND{};
    };
    HWND first = find("Сгенерировать по маске");
    for (int i = 0; i < 200 && ui_test::ControlText(first, IDC_TEXT).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ui_test::SetControlText(first, IDC_TEXT, "79001234567");
    ui_test::ClickButton(first, IDOK);
    HWND box = find("Сообщение");
    said = ui_test::ControlText(box, frame_test::kMessageTextId);
    ui_test::ClickButton(box, IDOK);
    HWND second = nullptr;
    for (int i = 0; i < 200 && reopened.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      second = find("Сгенерировать по маске");
      reopened = ui_test::ControlText(second, IDC_TEXT);
    }
    ui_test::ClickButton(second, IDCANCEL);
  });
  Command(ID_LIST_GENERATE);
  answers.join();
  EXPECT_EQ(said.rfind("Маска не дала ни одного номера", 0), 0u) << said;
  EXPECT_EQ(reopened, "79001234567");
  ASSERT_EQ(GetEngine().m_items.size(), 2u);
  EXPECT_EQ(GetEngine().m_items[1].m_number, "79000000001");
  EXPECT_EQ(m_frame.m_list.GetItemCount(), 2);
}

TEST_F(MainFrameTest, CloseAsksWithANonEmptyListAndNoKeepsTheWindow) {
  AddItems(1);
  CBoxAnswer box("Вопрос", IDNO);
  m_frame.SendMessage(WM_CLOSE);
  EXPECT_TRUE(box.Shown());
  EXPECT_EQ(box.text, "Завершить приложение?");
  EXPECT_TRUE(m_frame.IsWindow());
}

TEST_F(MainFrameTest, CloseWhileSendingAsksTheWorkerQuestion) {
  StartRunningWorker();
  CBoxAnswer box("Вопрос", IDNO);
  m_frame.SendMessage(WM_CLOSE);
  EXPECT_TRUE(box.Shown());
  EXPECT_EQ(box.text, "Запущен поток отправки. Завершить?");
  EXPECT_NE(GetEngine().m_thread.load(), nullptr);
}

TEST_F(MainFrameTest, LoadedCountGoesToTheStatusBar) {
  std::thread answer([] {
    const std::wstring dialog = ui::Wide1251("Сгенерировать по маске");
    for (int i = 0; i < 500; ++i) {
      // Visible: the dialog exists before its initialisation fills it.
      HWND found = FindWindowW(L"#32770", dialog.c_str());
      if (found && IsWindowVisible(found)) {
        ui_test::SetControlText(found, IDC_TEXT, "790000000**");
        ui_test::ClickButton(found, IDOK);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  Command(ID_LIST_GENERATE);
  answer.join();
  EXPECT_EQ(StatusText(), "Загружено номеров: " + std::to_string(GetEngine().m_items.size()));
  EXPECT_EQ(m_frame.m_list.GetItemCount(), static_cast<int>(GetEngine().m_items.size()));
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  CMessageLoop loop;
  GetAppModule().AddMessageLoop(&loop);
  const int result = RUN_ALL_TESTS();
  GetAppModule().RemoveMessageLoop();
  CoUninitialize();
  return result;
}
