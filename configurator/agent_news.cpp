#include "configurator/agent_news.h"

#include <algorithm>

#include "configurator/performance_page.h"
#include "contract/window_messages.h"
#include "settings/profile_fields.h"

namespace {

bool Means(ProfileField field, long value) {
  return value >= RangeOf(field).Min && value <= RangeOf(field).Max;
}

}  // namespace

AgentNewsEffect ApplyAgentNews(ProfileSet& set, unsigned kind, long value) {
  using namespace configurator_msg;
  ProfileRecord& record = set.Profiles[std::clamp(set.CurrentProfile, 0, kProfileCount - 1)];
  const int number = static_cast<int>(value);
  switch (kind) {
    case kNewsProfilesRewritten:
      return {value == 0 ? AgentNews::kReload : AgentNews::kIgnored};
    case kNewsStage:
      if (!Means(ProfileField::DPI, value)) break;
      record.DPI = number;
      return {AgentNews::kStage, number};
    case kNewsProfile:
      if (!Means(ProfileField::CurrentProfile, value)) break;
      return {AgentNews::kProfile, number};
    case kNewsPollingRate: {
      const ReportedPollingRate reported =
          PollingRateReported(value >= 0 && value <= 0xFF ? number : -1);
      record.PollingRate = reported.Rate;
      return {AgentNews::kPollingRate, reported.Button};
    }
    case kNewsLightingMode:
      if (!Means(ProfileField::LedMode1, value)) break;
      record.LedMode1 = number;
      return {AgentNews::kLightingMode, number};
    case kNewsPointerSpeed:
      if (!Means(ProfileField::MouseSensitivity, value)) break;
      record.MouseSensitivity = number;
      return {AgentNews::kPointerSpeed, number};
    default:
      break;
  }
  return {};
}
