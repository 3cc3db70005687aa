#pragma once
// The files varnek-send reads (list, message, settings): regular files of a
// sane size only, each read whole at once.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/varnek-send/SendOptions.h"

constexpr size_t kMaxInputFileBytes = 64 * 1024 * 1024;

// Reads the file at path (as the platform's file functions take it) whole.
// False with error, which names the file as shown and says what it is
// (what: "list file", ...), when it is missing, unreadable, a folder, FIFO or
// device, or over kMaxInputFileBytes.
bool ReadInputFile(const std::string& path, const std::string& shown, const char* what,
                   std::string& bytes, std::string& error);

// A list or message file, named as given on the command line (UTF-8), as
// code page 1251 text (TextDecoding.h). A line in notes tells in which
// encoding it was read when that was not the one asked for (or cp1251).
bool ReadTextFile(const std::string& name, const char* what, std::optional<TextEncoding> asked,
                  std::string& text, std::vector<std::string>& notes, std::string& error);
