#include "configurator/agent_news.h"

#include <gtest/gtest.h>

#include <cstring>

#include "contract/window_messages.h"

namespace {

using namespace configurator_msg;

class AgentNewsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProfileSet(m_set);
    ValidateProfileSet(m_set, m_set);
    m_set.CurrentProfile = 2;
  }
  ProfileRecord& Current() { return m_set.Profiles[2]; }
  ProfileSet m_set{};
};

TEST_F(AgentNewsTest, TheMousesOwnChangesGoIntoTheCurrentProfile) {
  AgentNewsEffect effect = ApplyAgentNews(m_set, kNewsStage, 5);
  EXPECT_EQ(effect.What, AgentNews::kStage);
  EXPECT_EQ(Current().DPI, 5);
  effect = ApplyAgentNews(m_set, kNewsLightingMode, 7);
  EXPECT_EQ(effect.What, AgentNews::kLightingMode);
  EXPECT_EQ(Current().LedMode1, 7);
  effect = ApplyAgentNews(m_set, kNewsPointerSpeed, 20);
  EXPECT_EQ(effect.What, AgentNews::kPointerSpeed);
  EXPECT_EQ(Current().MouseSensitivity, 20);
  effect = ApplyAgentNews(m_set, kNewsPollingRate, 1);
  EXPECT_EQ(effect.What, AgentNews::kPollingRate);
  EXPECT_EQ(effect.Value, 3);
  EXPECT_EQ(Current().PollingRate, 1);
  // A polling code without a button becomes 2, on the third button.
  effect = ApplyAgentNews(m_set, kNewsPollingRate, 200);
  EXPECT_EQ(effect.Value, 2);
  EXPECT_EQ(Current().PollingRate, 2);
  // The profile is selected by the window, which stores it too.
  effect = ApplyAgentNews(m_set, kNewsProfile, 4);
  EXPECT_EQ(effect.What, AgentNews::kProfile);
  EXPECT_EQ(effect.Value, 4);
  EXPECT_EQ(ApplyAgentNews(m_set, kNewsProfilesRewritten, 0).What, AgentNews::kReload);
}

TEST_F(AgentNewsTest, ValuesThatMeanNothingAreIgnored) {
  const ProfileSet before = m_set;
  const std::pair<unsigned, long> news[] = {{kNewsStage, 6},
                                            {kNewsStage, -1},
                                            {kNewsProfile, 5},
                                            {kNewsProfile, -1},
                                            {kNewsLightingMode, 8},
                                            {kNewsLightingMode, 255},
                                            {kNewsPointerSpeed, 0},
                                            {kNewsPointerSpeed, 21},
                                            {kNewsProfilesRewritten, 1},
                                            {7, 0},
                                            {13, 1},
                                            {kNewsStage, 0x100000000L >> 1}};
  for (const auto& [kind, value] : news) {
    EXPECT_EQ(ApplyAgentNews(m_set, kind, value).What, AgentNews::kIgnored) << kind << " " << value;
  }
  EXPECT_EQ(std::memcmp(&before, &m_set, sizeof m_set), 0);
}

}  // namespace
