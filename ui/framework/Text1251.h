#pragma once
// The program's texts are code page 1251 bytes; its windows are Unicode. Every
// text crosses that boundary here, converted with code page 1251 whatever the
// system's own code page is, so Cyrillic survives on a non-Russian Windows.
#include <windows.h>

#include <string>

namespace ui {

// Null gives the empty string.
std::wstring Wide1251(const char* text);
std::wstring Wide1251(const std::string& text);
std::string Narrow1251(const wchar_t* text);
std::string Narrow1251(const std::wstring& text);

// Window text in 1251. One 1251 byte is one UTF-16 unit, so lengths agree.
bool SetWindowText1251(HWND hWnd, const char* text);
std::string GetWindowText1251(HWND hWnd);
// Copies at most size - 1 bytes and the terminator; gives the bytes copied.
int GetWindowText1251(HWND hWnd, char* buffer, int size);

// Copies text into a buffer of size wide characters (a control's, as in
// LVN_GETDISPINFOW), cut to fit and terminated; nothing for a null buffer or
// a size of 0 or less.
void CopyText1251(const std::string& text, wchar_t* buffer, int size);

}  // namespace ui
