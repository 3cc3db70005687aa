// A declared code page on save, in both backends: the bytes on disk are
// 1251, as a file that other programs read may need (Wine's MSXML alone would
// write UTF-8 under any declaration).
#include <gtest/gtest.h>

#include <string>

#include "engine/XmlChildNodes.h"
#include "platform/Files.h"
#include "platform/XmlDocument.h"
#include "support/TempDir.h"

namespace {

TEST(XmlEncodingTest, CyrillicIsWrittenAndReadAsCodePage1251) {
  testing_support::TempDir dir;
  const std::string path = dir.File("texts.xml");
  const std::string name = "\xCF\xEE\xF0\xF2";       // Порт
  const std::string text = "\xC8\xE2\xE0\xED \xB8\xA8";  // Иван ёЁ
  {
    platform::XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(document.LoadText(u"<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root/>"));
    platform::XmlNode root = FindChildNode("root", document.Node());
    SetChildText(root, name.c_str(), text.c_str());
    ASSERT_TRUE(document.SaveFile(path));
  }
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_NE(bytes.find("<" + name + ">" + text + "</" + name + ">"), std::string::npos) << bytes;

  platform::XmlDocument document;
  ASSERT_TRUE(document.Create());
  ASSERT_TRUE(document.LoadFile(path));
  std::string read;
  EXPECT_TRUE(GetChildText(FindChildNode("root", document.Node()), name.c_str(), read));
  EXPECT_EQ(read, text);
}

}  // namespace
