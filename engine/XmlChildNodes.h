#pragma once
// Child elements of an XML node by name, with names and values in code page
// 1251 (converted to and from the document's UTF-16 here).
#include <cstdint>
#include <string>

#include "platform/XmlDocument.h"

// The first child of parent, in document order, whose node name is exactly
// name (case-sensitive); null when there is none.
platform::XmlNode FindChildNode(const char* name, const platform::XmlNode& parent);

// The text of the child element name; false (text untouched) when it is absent.
bool GetChildText(const platform::XmlNode& parent, const char* name, std::string& text);

// Replaces the text of the child element name, appending a new element as
// parent's last child when there is none. Failures are silent: the settings
// file is best effort.
void SetChildText(platform::XmlNode& parent, const char* name, const char* value);
void SetChildInt(platform::XmlNode& parent, const char* name, int32_t value);
