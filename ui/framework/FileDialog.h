#pragma once
// CFileDialog: the system's open (or save) dialog. Paths and filters are code
// page 1251 at this boundary; a chosen path with characters outside 1251
// comes back with '?' in their place and still opens through the file
// functions of platform/Files.h, which remember it.
#include <windows.h>

#include <commdlg.h>

#include <string>

class CFileDialog {
 public:
  // filter: pairs of description and pattern separated by '|', e.g.
  // "Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*|". Texts in 1251.
  CFileDialog(bool openFileDialog, const char* defaultExtension = nullptr,
              const char* fileName = nullptr, DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
              const char* filter = nullptr, HWND parent = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK when a file was chosen, IDCANCEL otherwise.
  INT_PTR DoModal(HWND parent = ::GetActiveWindow());
  // The chosen path, code page 1251 (see above).
  std::string GetPathName() const;

  OPENFILENAMEW m_ofn{};

 private:
  bool m_open;
  std::wstring m_filter;
  std::wstring m_defaultExtension;
  wchar_t m_fileName[MAX_PATH] = {};
};
