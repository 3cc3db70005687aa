#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "UiTestSupport.h"
#include "ui/EditStringDialog.h"
#include "ui/aboutdlg.h"
#include "ui/framework/Text1251.h"

namespace {

const wchar_t kCaption[] = L"Диалог";

void Type(HWND dialog, const char* keys) {
  HWND edit = GetDlgItem(dialog, IDC_TEXT);
  for (const char* key = keys; *key; ++key) SendMessageW(edit, WM_CHAR, static_cast<unsigned char>(*key), 0);
}

struct Answer {
  std::string prompt;
  std::string shownText;
};

}  // namespace

TEST(EditStringDialog, DigitsOnlyRefusesLettersAndOkHandsBackTheText) {
  CEditStringDialog dialog("Номер телефона (11 цифр, начиная с 7)", "", 1);
  Answer seen;
  INT_PTR result = 0;
  {
    ui_test::CDialogAnswerer answerer(kCaption, [&](HWND hWnd) {
      seen.prompt = ui_test::ControlText(hWnd, IDC_PROMPT);
      Type(hWnd, "7a9b1");
      ui_test::SaveScreenShot(hWnd, "dialog-input");
      ui_test::ClickButton(hWnd, IDOK);
    });
    result = dialog.DoModal(nullptr);
  }
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seen.prompt, "Номер телефона (11 цифр, начиная с 7)");
  EXPECT_STREQ(dialog.GetText(), "791");
}

TEST(EditStringDialog, AnyCharactersWithoutDigitsOnly) {
  CEditStringDialog dialog("Номер телефона", "7XXXXXX****", 0);
  Answer seen;
  {
    ui_test::CDialogAnswerer answerer(kCaption, [&](HWND hWnd) {
      seen.shownText = ui_test::ControlText(hWnd, IDC_TEXT);
      SendMessageW(GetDlgItem(hWnd, IDC_TEXT), EM_SETSEL, 11, 11);
      Type(hWnd, "ab");
      ui_test::ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  }
  EXPECT_EQ(seen.shownText, "7XXXXXX****");
  EXPECT_STREQ(dialog.GetText(), "7XXXXXX****ab");
}

TEST(EditStringDialog, CancelReturnsTwoAndKeepsTheInitialText) {
  CEditStringDialog dialog("Номер телефона", "7XXXXXX****", 0);
  {
    ui_test::CDialogAnswerer answerer(kCaption, [&](HWND hWnd) {
      ui_test::SetControlText(hWnd, IDC_TEXT, "другое");
      ui_test::ClickButton(hWnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  }
  EXPECT_STREQ(dialog.GetText(), "7XXXXXX****");
}

TEST(EditStringDialog, NullPromptAndTextShowEmptyAndEmptyOkGivesEmpty) {
  CEditStringDialog dialog(nullptr, nullptr, 0);
  Answer seen{"x", "x"};
  {
    ui_test::CDialogAnswerer answerer(kCaption, [&](HWND hWnd) {
      seen.prompt = ui_test::ControlText(hWnd, IDC_PROMPT);
      seen.shownText = ui_test::ControlText(hWnd, IDC_TEXT);
      ui_test::ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  }
  EXPECT_EQ(seen.prompt, "");
  EXPECT_EQ(seen.shownText, "");
  EXPECT_STREQ(dialog.GetText(), "");
}

TEST(AboutDlg, ShowsBothLinksAndClosesWithOkOrEscape) {
  struct Seen {
    std::string web;
    std::string mail;
    bool webNotify = false;
  } seen;
  CAboutDlg dialog;
  {
    ui_test::CDialogAnswerer answerer(L"О программе", [&](HWND hWnd) {
      seen.web = ui_test::ControlText(hWnd, IDC_WEBLINK);
      seen.mail = ui_test::ControlText(hWnd, IDC_MAILLINK);
      seen.webNotify = (GetWindowLongPtrW(GetDlgItem(hWnd, IDC_WEBLINK), GWL_STYLE) & SS_NOTIFY) != 0;
      ui_test::SaveScreenShot(hWnd, "dialog-about");
      ui_test::ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  }
  EXPECT_EQ(seen.web, "https://varnek.example.org");
  EXPECT_EQ(seen.mail, "e-mail: varnek@example.org");
  EXPECT_TRUE(seen.webNotify);

  CAboutDlg again;
  ui_test::CDialogAnswerer answerer(L"О программе", [&](HWND hWnd) { SendMessageW(hWnd, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(again.DoModal(nullptr), IDCANCEL);
}

TEST(InputDialogs, ControlsAreWhereTheTemplatesPutThem) {
  const ui_test::CTemplateControl input[] = {
      {"Edit", IDC_TEXT, "", {7, 35, 223, 12}},
      {"Button", IDOK, "OK", {65, 53, 50, 14}},
      {"Button", IDCANCEL, "Отмена", {121, 53, 50, 14}},
      {"Static", IDC_PROMPT, "", {7, 7, 223, 26}},
  };
  const ui_test::CTemplateControl about[] = {
      {"Button", IDOK, "OK", {153, 116, 50, 14}},
      {"Static", -1, "Рассылка SMS сообщений", {55, 21, 78, 17}},
      {"Button", -1, "", {7, 7, 142, 123}},
      {"Static", -1, nullptr, {22, 17, 0, 0}},  // the icon sizes itself
      {"Static", IDC_WEBLINK, "https://varnek.example.org", {34, 106, 106, 8}},
      {"Static", -1, "Разработка и программирование:", {19, 51, 121, 10}},
      {"Static", IDC_MAILLINK, "e-mail: varnek@example.org", {20, 60, 113, 8}},
      // The version comes from the program's version resource.
      {"Static", IDC_VERSION, "Версия 1.0.0.0, 2026 год", {19, 94, 103, 8}},
  };
  std::string caption, mismatches;
  CEditStringDialog inputDialog(nullptr, nullptr, 0, "Добавить номер");
  {
    ui_test::CDialogAnswerer answerer(L"Добавить номер", [&](HWND hWnd) {
      caption = ui::GetWindowText1251(hWnd);
      mismatches = ui_test::TemplateMismatches(hWnd, input, std::size(input));
      SendMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    inputDialog.DoModal(nullptr);
  }
  EXPECT_EQ(caption, "Добавить номер");
  EXPECT_EQ(mismatches, "");

  CAboutDlg aboutDialog;
  {
    ui_test::CDialogAnswerer answerer(L"О программе", [&](HWND hWnd) {
      caption = ui::GetWindowText1251(hWnd);
      mismatches = ui_test::TemplateMismatches(hWnd, about, std::size(about));
      SendMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    aboutDialog.DoModal(nullptr);
  }
  EXPECT_EQ(caption, "О программе");
  EXPECT_EQ(mismatches, "");
}
