#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/framework/HyperLink.h"

namespace {

// Counts what would have been opened instead of starting a browser.
class CCountingLink : public CHyperLink {
 public:
  int m_opened = 0;

 protected:
  bool OpenTarget() override {
    ++m_opened;
    return true;
  }
};

const wchar_t kColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr COLORREF kDefaultLink = RGB(0, 0, 255);

struct LinkWindow {
  LinkWindow() {
    label = CreateWindowExW(0, L"STATIC", L"https://varnek.example.org", WS_CHILD | WS_VISIBLE | SS_LEFT,
                            10, 10, 300, 20, parent, nullptr, nullptr, nullptr);
  }
  ui_test::CTestParent parent;
  HWND label = nullptr;
};

}  // namespace

TEST(HyperLink, AnchorColorFromTheBrowserSettings) {
  struct Case {
    const char* value;
    COLORREF colour;
  };
  const Case cases[] = {
      {"0,128,0", RGB(0, 128, 0)},      {"0,128", kDefaultLink},        {"0,128,", kDefaultLink},
      {"300,0,0", RGB(44, 0, 0)},       {"255,255,255,1", kDefaultLink},  // too long for its buffer
      {"12,34,56", RGB(12, 34, 56)},
  };
  for (const Case& c : cases) {
    ui_test::CRegistryValue value(HKEY_CURRENT_USER, kColorKey, L"Anchor Color", c.value);
    ASSERT_TRUE(value.Written());
    LinkWindow window;
    CCountingLink link;
    ASSERT_TRUE(link.SubclassWindow(window.label));
    EXPECT_EQ(link.m_clrLink, c.colour) << c.value;
    EXPECT_EQ(link.m_clrVisited, RGB(128, 0, 128)) << c.value;
  }
}

TEST(HyperLink, ClickOpensOnlyWhenPressedAndReleasedOnTheLabel) {
  LinkWindow window;
  CCountingLink link;
  ASSERT_TRUE(link.SubclassWindow(window.label));
  const LPARAM inside = MAKELPARAM(3, 5);
  const LPARAM outside = MAKELPARAM(290, 5);  // beyond the label's text
  SendMessageW(window.label, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  EXPECT_EQ(GetCapture(), window.label);
  SendMessageW(window.label, WM_LBUTTONUP, 0, outside);
  EXPECT_EQ(link.m_opened, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(link.m_visited);

  SendMessageW(window.label, WM_LBUTTONDOWN, MK_LBUTTON, outside);
  SendMessageW(window.label, WM_LBUTTONUP, 0, inside);
  EXPECT_EQ(link.m_opened, 0) << "a press outside the label captures nothing";

  SendMessageW(window.label, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  SendMessageW(window.label, WM_LBUTTONUP, 0, inside);
  EXPECT_EQ(link.m_opened, 1);
  EXPECT_TRUE(link.m_visited);

  SendMessageW(window.label, WM_CHAR, VK_RETURN, 0);
  SendMessageW(window.label, WM_CHAR, VK_SPACE, 0);
  SendMessageW(window.label, WM_CHAR, 'x', 0);
  EXPECT_EQ(link.m_opened, 3);
}
