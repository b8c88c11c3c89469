// Registers the X connection for all toolkit tests; gtest_main supplies main().
#include "GuiTest.h"

namespace {
[[maybe_unused]] ::testing::Environment* const toolkit =
    ::testing::AddGlobalTestEnvironment(new tovo::gui::test::ToolkitEnvironment);
}
