#include "ui/framework/FileDialog.h"

#include "platform/win32/WidePath.h"
#include "ui/framework/Text1251.h"

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, HWND parent)
    : m_open(openFileDialog),
      m_filter(ui::Wide1251(filter)),
      m_defaultExtension(ui::Wide1251(defaultExtension)) {
  // The system wants the pairs separated and ended by zeros.
  for (wchar_t& c : m_filter) {
    if (c == L'|') c = L'\0';
  }
  m_filter.push_back(L'\0');
  const std::wstring name = ui::Wide1251(fileName);
  name.copy(m_fileName, MAX_PATH - 1);
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.hwndOwner = parent;
  m_ofn.lpstrFilter = filter ? m_filter.c_str() : nullptr;
  m_ofn.lpstrFile = m_fileName;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.lpstrDefExt = defaultExtension ? m_defaultExtension.c_str() : nullptr;
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal(HWND parent) {
  if (!m_ofn.hwndOwner) m_ofn.hwndOwner = parent;
  const BOOL chosen = m_open ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
  return chosen ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const { return platform::NarrowPath(m_fileName); }
