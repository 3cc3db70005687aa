// The engine's settings use the MSXML document, which needs COM on the
// thread, as the program entry provides it.
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class CComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

::testing::Environment* const s_comEnvironment =
    ::testing::AddGlobalTestEnvironment(new CComEnvironment);

}  // namespace
