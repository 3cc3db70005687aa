#pragma once
// Whether the test runs as a Windows program under Wine. Wine does not make
// serial opens exclusive; tests of exclusivity skip themselves there.

namespace testing_support {

bool RunningUnderWine();

}  // namespace testing_support
