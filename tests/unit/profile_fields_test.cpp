#include "settings/profile_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "contract/mouse_map.h"
#include "settings/macro.h"
#include "tests/unit/support/sample_profiles.h"

namespace {

// Validation and the factory state act on exactly what the table says, for every field it
// names, in every profile (the literal values are pinned by the profile set's own tests): both
// ends of a range stay, a value one step outside either end is repaired to the field's default
// where the range is checked, only -1 where just the unset value is, and nothing where the
// field is not validated. The factory value and the default lie within the range.
TEST(ProfileFieldTable, DrivesValidationAndTheFactoryStateOfEveryField) {
  const ProfileSet valid = MakeSampleProfileSet();
  for (const ProfileFieldRule& rule : kProfileFieldRules) {
    if (rule.Values == nullptr) continue;
    const FieldRange range = rule.Range;
    for (int p = 0; p < kProfileCount; ++p) {
      const std::int32_t fallback = rule.Default.For(p);
      std::vector<std::pair<std::int32_t, std::int32_t>> cases = {{range.Min, range.Min},
                                                                  {range.Max, range.Max}};
      switch (rule.Check) {
        case FieldCheck::InRange:
          cases.insert(cases.end(), {{range.Min - 1, fallback}, {range.Max + 1, fallback}});
          EXPECT_TRUE(range.Contains(fallback));
          break;
        case FieldCheck::NotUnset:
          cases.insert(cases.end(), {{-1, fallback}, {range.Max + 1, range.Max + 1}});
          EXPECT_TRUE(range.Contains(fallback));
          break;
        case FieldCheck::None:
          cases.insert(cases.end(),
                       {{range.Min - 1, range.Min - 1}, {range.Max + 1, range.Max + 1}});
          break;
      }
      for (int i = 0; i < rule.Count; ++i) {
        for (const auto& [input, expected] : cases) {
          SCOPED_TRACE("field " + std::to_string(static_cast<int>(rule.Field)) + " [" +
                       std::to_string(i) + "] of profile " + std::to_string(p) + " = " +
                       std::to_string(input));
          ProfileSet source = valid;
          rule.Values(source.Profiles[p])[i] = input;
          ProfileSet target;
          ValidateProfileSet(target, source);
          EXPECT_EQ(rule.Values(target.Profiles[p])[i], expected);
        }
      }

      ProfileSet factory = valid;
      ApplyFactoryDefaults(factory, p);
      for (int i = 0; i < rule.Count; ++i) {
        const std::int32_t value = rule.Values(factory.Profiles[p])[i];
        if (rule.Factory) {
          EXPECT_EQ(value, rule.Factory->For(p)) << static_cast<int>(rule.Field);
          EXPECT_TRUE(range.Contains(value)) << static_cast<int>(rule.Field);
        } else {
          ProfileSet sample = valid;
          EXPECT_EQ(value, rule.Values(sample.Profiles[p])[i]) << static_cast<int>(rule.Field);
        }
      }
    }
  }
  // What the settings window offers where it offers less than a field can hold.
  EXPECT_EQ(OfferedRangeOf(ProfileField::DoubleClickSpeed), (FieldRange{1, 10}));
  EXPECT_EQ(OfferedRangeOf(ProfileField::DPI), (FieldRange{0, 4}));
}

TEST(ProfileUnits, ResolutionValuesAndDotsPerInchConvertBothWays) {
  EXPECT_EQ(device_map::DotsPerInchOfResolution(1), 100);
  EXPECT_EQ(device_map::DotsPerInchOfResolution(50), 5000);
  EXPECT_EQ(device_map::DotsPerInchOfResolution(51), 5200);
  EXPECT_EQ(device_map::DotsPerInchOfResolution(75), 10000);
  for (int value = 1; value <= 75; ++value) {
    EXPECT_EQ(device_map::ResolutionOfDotsPerInch(device_map::DotsPerInchOfResolution(value)),
              value);
  }
  // Between two values the nearer one, the lower on a tie; outside, the nearer end.
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(149), 1);
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(151), 2);
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(5100), 50);
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(5101), 51);
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(0), 1);
  EXPECT_EQ(device_map::ResolutionOfDotsPerInch(20000), 75);
}

TEST(ProfileUnits, LoopNumberHoldsTheRepeatCountWithoutWrapping) {
  EXPECT_EQ(LoopNumberOfLoopTime(0), 1);
  EXPECT_EQ(LoopNumberOfLoopTime(7), 7);
  EXPECT_EQ(LoopNumberOfLoopTime(255), 255);
  EXPECT_EQ(LoopNumberOfLoopTime(256), 255);  // not 0
  EXPECT_EQ(LoopNumberOfLoopTime(-3), 1);
  EXPECT_EQ(LoopTimeOfLoopNumber(0), 1);
  EXPECT_EQ(LoopTimeOfLoopNumber(200), 200);
}

}  // namespace
