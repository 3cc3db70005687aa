#include "engine/XmlChildNodes.h"

#include <cstdio>

#include "platform/CodePage.h"

platform::XmlNode FindChildNode(const char* name, const platform::XmlNode& parent) {
  // Compared in UTF-16: a name with characters that 1251 lacks never matches.
  const std::u16string wanted = platform::Cp1251ToUtf16(name);
  for (platform::XmlNode child = parent.FirstChild(); child; child = child.NextSibling()) {
    if (child.Name() == wanted) return child;
  }
  return platform::XmlNode();
}

bool GetChildText(const platform::XmlNode& parent, const char* name, std::string& text) {
  const platform::XmlNode child = FindChildNode(name, parent);
  if (!child) return false;
  text = platform::Utf16ToCp1251(child.Text());
  return true;
}

void SetChildText(platform::XmlNode& parent, const char* name, const char* value) {
  platform::XmlNode child = FindChildNode(name, parent);
  if (!child) {
    const platform::XmlNode created =
        parent.OwnerDocument().CreateElement(platform::Cp1251ToUtf16(name));
    if (!created || !parent.AppendChild(created)) return;
    child = FindChildNode(name, parent);
    if (!child) return;
  }
  child.SetText(platform::Cp1251ToUtf16(value));
}

void SetChildInt(platform::XmlNode& parent, const char* name, int32_t value) {
  char text[100];
  std::snprintf(text, sizeof text, "%i", static_cast<int>(value));
  SetChildText(parent, name, text);
}
