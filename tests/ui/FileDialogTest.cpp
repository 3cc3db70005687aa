#include <gtest/gtest.h>

#include <string>

#include "UiTestSupport.h"
#include "support/TempDir.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/Text1251.h"

// A path with Cyrillic comes back as the same 1251 bytes, whatever the
// system's code page.
TEST(FileDialog, ChosenPathComesBackIn1251) {
  testing_support::TempDir folder;
  const std::string path = folder.File("список номеров.txt");
  HANDLE file = CreateFileW(ui::Wide1251(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  CFileDialog dialog(true, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                     "Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*|");
  INT_PTR result = 0;
  {
    ui_test::CDialogAnswerer answerer(L"Open", [&](HWND hWnd) {
      // The file name field of the explorer-style dialog (edt1, or the
      // combo box cmb13 that holds it).
      HWND name = GetDlgItem(hWnd, 0x480);
      if (!name) name = GetDlgItem(hWnd, 0x47C);
      SetWindowTextW(name, ui::Wide1251(path).c_str());
      SendMessageW(hWnd, WM_COMMAND, IDOK, 0);
    });
    result = dialog.DoModal(nullptr);
  }
  ASSERT_EQ(result, IDOK);
  EXPECT_EQ(dialog.GetPathName(), path);
  DeleteFileW(ui::Wide1251(path).c_str());
}
