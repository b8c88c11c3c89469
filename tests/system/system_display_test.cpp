// On a real X server the load-time survey finds the monitors through the toolkit's own connection.
#include <gtest/gtest.h>

#include "gui/SDisplay.h"
#include "gui/XDisplay.h"
#include "system/SSystemData.h"

TEST(SystemDisplays, GatherListsTheMonitorsOfTheToolkitConnection) {
  tovo::gui::OpenToolkitDisplay();
  ASSERT_NE(nullptr, tovo::gui::dps) << "this test needs an X server in DISPLAY";
  {
    tovo::system::SSystemData data;
    data.Gather();
    ASSERT_NE(nullptr, data.Displays());
    EXPECT_GE(data.Displays()->Count(), 1);
    EXPECT_EQ(data.Displays()->Count(), static_cast<int>(data.Displays()->Monitors().size()));
  }
  tovo::gui::CloseToolkitDisplay();
}
