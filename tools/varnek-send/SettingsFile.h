#pragma once
// The engine's settings file as varnek-send meets it: read, never written.

#include <string>

// Looks at the settings file before the engine reads it. False with error
// when something other than a regular file of sane size stands there (the
// engine would wait on a FIFO for ever, or read a device without end).
// warning names the file when it is there but gives no settings (not
// well-formed, no "root"): the engine then keeps its defaults without a word.
// No file at all is the first run's normal case. Needs a platform::XmlThread
// on the calling thread.
bool CheckSettingsFile(std::string& warning, std::string& error);
