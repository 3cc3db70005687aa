#pragma once
// The files varnek-send reads (list, message, settings): regular files of a
// sane size only, each read whole at once, and refused with the place of
// the first thing in them that cannot be read.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/varnek-send/SendMessages.h"
#include "tools/varnek-send/SendOptions.h"
#include "tools/varnek-send/TextDecoding.h"

constexpr size_t kMaxInputFileBytes = 64 * 1024 * 1024;

// Reads the file at path (as the platform's file functions take it) whole.
// False with error, which names the file as shown and says what it is
// (what: Msg::ListFileWord, ...), when it is missing, unreadable, a folder,
// FIFO or device, or over kMaxInputFileBytes.
bool ReadInputFile(const std::string& path, const std::string& shown, Msg what,
                   std::string& bytes, std::string& error);

// A list or message file, named as given on the command line (UTF-8), as
// code page 1251 text (TextDecoding.h). False with error when it cannot be
// read, or holds what its use refuses: the line and byte offset of the
// first such thing. A line in notes tells in which encoding it was read when
// that was not the one asked for (or cp1251).
bool ReadTextFile(const std::string& name, Msg what, std::optional<TextEncoding> asked,
                  TextUse use, std::string& text, std::vector<std::string>& notes,
                  std::string& error);

// Why a decoded file is refused (m_fault set), in words: what and shown name
// the file, chosenBy says how its encoding was chosen (Msg::ChosenBy...).
std::string FaultOfFile(Msg what, const std::string& shown, const CDecodedText& decoded,
                        Msg chosenBy);
// The same for the text of --text, decoded as UTF-8.
std::string FaultOfTextOption(const CDecodedText& decoded);
