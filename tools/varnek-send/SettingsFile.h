#pragma once
// The engine's settings file as varnek-send meets it: read, never written.
#include <string>
#include <vector>

#include "engine/Engine.h"

// Looks at the settings file before the engine reads it. False with error
// when something other than a regular file of sane size stands there (the
// engine would wait on a FIFO for ever, or read a device without end), or
// when its bytes are not valid in the encoding that its byte order mark or
// its XML declaration names (UTF-8 when it names none). warning names the
// file when it is there but gives no settings (not well-formed, no "root"):
// the engine then keeps its defaults without a word. No file at all is the
// first run's normal case. Needs a platform::XmlThread on the calling
// thread.
bool CheckSettingsFile(std::string& warning, std::string& error);

// A line for each value the engine could not take from the file as it stood
// (m_settingNotes): the element, its text and the value taken instead.
std::vector<std::string> SettingNotes(const CEngine& engine);
