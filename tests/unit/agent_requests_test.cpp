#include "agent/agent_requests.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(AgentRequestsTest, MacroAreaWritesOnlyLibrarySlotsButClearsEveryMouseArea) {
  ASSERT_TRUE(ParseMacroAreaRequest(0, 0));
  EXPECT_EQ(ParseMacroAreaRequest(14, 0)->slot, 14);
  EXPECT_FALSE(ParseMacroAreaRequest(14, 0)->clear);
  EXPECT_FALSE(ParseMacroAreaRequest(15, 0));
  ASSERT_TRUE(ParseMacroAreaRequest(19, 1));
  EXPECT_TRUE(ParseMacroAreaRequest(19, 1)->clear);
  // Any nonzero lParam clears, the sign included.
  EXPECT_TRUE(ParseMacroAreaRequest(3, -1)->clear);
  EXPECT_FALSE(ParseMacroAreaRequest(20, 1));
  // A negative int slot arrives as a huge unsigned wParam.
  EXPECT_FALSE(ParseMacroAreaRequest(static_cast<std::uintptr_t>(-1), 1));
}

TEST(AgentRequestsTest, ButtonRequestsStayInsideTheProfileSet) {
  ASSERT_TRUE(ParseButtonRequest(0, 0));
  const auto last = ParseButtonRequest(4, 9);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->profile, 4);
  EXPECT_EQ(last->button, 9);
  EXPECT_FALSE(ParseButtonRequest(5, 0));
  EXPECT_FALSE(ParseButtonRequest(0, 10));
  EXPECT_FALSE(ParseButtonRequest(0, -1));
  EXPECT_FALSE(ParseButtonRequest(static_cast<std::uintptr_t>(-1), 0));
}
