#pragma once
// What the units of the modem dialogue share: limits, the control bytes of
// SMS text input, and the steps every submission takes.
#include <cstdint>
#include <string>

#include "modem/Modem.h"

namespace dialogue {

constexpr uint32_t kReplyLimitMs = 10000;  // "at", the mode, the prompt, settings
constexpr int kPieceBytes = 32;            // the paced pieces of message text
constexpr char kCtrlZ = 26;                // ends the text: submit
constexpr char kEscape = 27;               // ends the text: drop it

// Sends text whole (or in paced pieces); false when not all of it went out.
bool TransmitText(CModem& modem, const std::string& text, int piece);

// The text-input dialogue of a command announcing a message ("at+cmgs=19\r",
// with its CR): the command, its prompt, the text with Ctrl-Z in paced pieces, the
// final answer with "+CMGS:". The confirmed reference goes into result;
// false, with result's outcome and cause set, when the part is not Sent.
bool SubmitAfterCommand(CModem& modem, const std::string& command, const std::string& text,
                        uint32_t confirmLimitMs, CSendResult& result);

}  // namespace dialogue
