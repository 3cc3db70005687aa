#pragma once
// Paths between the program's 1251 strings and the system's UTF-16 file
// functions, converted with the 1251 table whatever the system's own code
// page is: the ...A functions would read the bytes in that code page.
//
// A path the system hands over (the program's own path, a file chosen in a
// dialog) may hold characters that 1251 lacks, such as a Chinese folder
// name. Its 1251 form carries '?' for each of them, a character that no
// Windows file name holds, and the UTF-16 original is remembered, so that the
// 1251 form and every path that begins with it (the settings file beside the
// program, logs\..., PHONES\...) still lead to the same folder.
//
// A path long enough to meet the system's old limits (MAX_PATH, 260
// characters; CreateDirectoryW stops at 248) goes to the system in the
// long-path form, "\\?\C:\..." or "\\?\UNC\server\share\...", which
// takes up to 32767 characters.
#include <string>

namespace platform {

// The UTF-16 form of a 1251 path, for the ...W functions. Where the path
// begins as a remembered one, the remembered characters stand for its '?'.
// From 248 characters on it is made full and takes the long-path form, which
// the system reads literally: '/' becomes '\\', "." and ".." parts are
// resolved, a relative path is joined to the current folder. Paths in the
// long-path or device form already ("\\?\", "\\.\") stay as they are.
std::wstring WidePath(const std::string& path);

// Where a path in the long-path form begins after its prefix: 4 for
// "\\?\...", else 0.
size_t LongPathPrefixLength(const std::wstring& path);

// The 1251 form of a path the system gave; remembered when it lost
// characters. Callable from any thread.
std::string NarrowPath(const std::wstring& path);

// A text of the system (a path, a message) as UTF-8, for the console.
std::string Utf8FromWide(const wchar_t* text);

// A Windows error code in the system's words (UTF-8), without the full stop
// and line break that FormatMessage adds.
std::string SystemMessage(unsigned long code);

}  // namespace platform
