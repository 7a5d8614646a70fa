#pragma once
// The configurator's main window as data: the frame (title-bar buttons, tabs, profile buttons,
// bottom row) and the controls of its four pages, each at its place, with its pictures and its
// caption key. Page 1 edits buttons and pointer settings, page 2 the resolution stages, page 3
// the lighting, page 4 only informs. The window (CTunerDlg) draws the mouse picture, the
// lighting picture and the colour picker itself.
#include <array>

#include "configurator/tuner_ids.h"
#include "settings/profile_fields.h"
#include "skin/core/control_table.h"
#include "skin/core/skin_faces.h"

inline constexpr char16_t kTunerMainBackground[] = u"cfgMainback.png";
inline constexpr char16_t kTunerMainMask[] = u"cfgMainback.bmp";

namespace tuner_layout {

inline constexpr ButtonLook kTabCaption{.font = {17, 700}};
inline constexpr ButtonLook kNoCaption{.caption = CaptionLayout::kNone};
// Stage buttons tick and untick themselves; the caption leaves room for the face's light.
inline constexpr ButtonLook kStageCaption{.boxInsetRight = 5, .font = {17, 700}, .toggle = true};
inline constexpr LabelLook kValueLabel{.font = {13, 700}};
inline constexpr LabelLook kMarkLabel{.align = TextAlign::kCentre};
inline constexpr LabelLook kInfoLabel{.align = TextAlign::kCentre, .font = {15, 400}};

inline constexpr FaceFiles kModeFacesTop{{SkinFolder::kButtons, u"color-mode-page-1.png"},
                                         {SkinFolder::kButtons, u"color-mode-page-1.png"},
                                         {SkinFolder::kButtons, u"color-mode-page-2.png"},
                                         {SkinFolder::kButtons, u"color-mode-page-1.png"}};
inline constexpr FaceFiles kModeFacesBottom{{SkinFolder::kButtons, u"color-mode-page-3.png"},
                                            {SkinFolder::kButtons, u"color-mode-page-3.png"},
                                            {SkinFolder::kButtons, u"color-mode-page-4.png"},
                                            {SkinFolder::kButtons, u"color-mode-page-3.png"}};
inline constexpr const char16_t* kPresetPictures[tuner_id::kPresetCount] = {
    u"红色.png", u"橙色.png", u"黄色.png", u"绿色.png", u"青色.png", u"蓝色.png", u"紫色.png"};

inline constexpr ImageFile kPointerTrack{SkinFolder::kBackground, u"trackbar-back-b.png"};
inline constexpr ImageFile kPointerThumb{SkinFolder::kControls, u"y.png"};

constexpr SliderStyle PointerSlider(ProfileField field) {
  return {.axis = SliderAxis::kHorizontal,
          .thumb = kPointerThumb,
          .disabledThumb = kPointerThumb,
          .track = kPointerTrack,
          .minimum = OfferedRangeOf(field).Min,
          .maximum = OfferedRangeOf(field).Max};
}
constexpr SliderStyle StageSlider(const char16_t* track, const char16_t* thumb) {
  const ImageFile thumbFile{SkinFolder::kControls, thumb};
  return {.axis = SliderAxis::kVertical,
          .thumb = thumbFile,
          .disabledThumb = thumbFile,
          .track = {SkinFolder::kControls, track},
          .minimum = OfferedRangeOf(ProfileField::StageResolution).Min,
          .maximum = OfferedRangeOf(ProfileField::StageResolution).Max};
}

// The columns of the resolution page, stage by stage (not evenly spaced).
inline constexpr int kStageButtonX[tuner_id::kStageCount] = {146, 271, 396, 516, 636};
inline constexpr int kLinkedSliderX[tuner_id::kStageCount] = {152, 277, 402, 522, 642};
inline constexpr int kYSliderX[tuner_id::kStageCount] = {186, 311, 436, 556, 676};
inline constexpr int kPlusX[tuner_id::kStageCount] = {174, 299, 424, 544, 664};
inline constexpr int kXLabelX[tuner_id::kStageCount] = {163, 289, 414, 534, 654};
inline constexpr int kYLabelX[tuner_id::kStageCount] = {194, 319, 444, 564, 684};

// Places of the assignment buttons: eight in steps of 28, then the two wheel directions.
constexpr int AssignTop(int button) {
  return button < 8 ? 201 + 28 * button : (button == 8 ? 425 : 453);
}

inline constexpr auto kControls = [] {
  using namespace tuner_id;
  using tuner_group::kModes;
  std::array<ControlRow, 135> rows{};
  std::size_t n = 0;
  auto add = [&](ControlRow row) { rows[n++] = row; };
  auto general = [](int number) { return SkinTextKey(u"General", number); };

  // ---- frame
  add(ButtonRow(kMinimise, {722, 34, 736, 47}, {kMinimiseFaces, kNoCaption}));
  add(ButtonRow(kClose, {742, 34, 756, 47}, {kCloseFaces, kNoCaption}));
  constexpr int kTabLeft[kTabCount] = {72, 237, 402, 566};
  constexpr int kTabRight[kTabCount] = {234, 399, 564, 728};
  for (int t = 0; t < kTabCount; ++t) {
    add(ButtonRow(kFirstTab + t, {kTabLeft[t], 162, kTabRight[t], 182}, {kTabFaces, kTabCaption},
                  general(49 + t))
            .InGroup(tuner_group::kTabs));
  }
  for (int p = 0; p < 5; ++p) {
    add(ButtonRow(kFirstProfile + p, {109 + 120 * p, 525, 194 + 120 * p, 544},
                  {kProfileFaces, kTabCaption}, general(53 + p))
            .InGroup(tuner_group::kProfiles)
            .OnPages({1, 2, 3}));
  }
  struct BottomButton {
    int id, left, right, caption;
  };
  constexpr BottomButton kBottom[] = {{kApply, 649, 742, 48},    {kExport, 57, 150, 42},
                                      {kImport, 157, 250, 43},   {kResetProfile, 255, 348, 44},
                                      {kResetAll, 355, 448, 45}, {kOk, 453, 547, 46},
                                      {kCancel, 551, 644, 47}};
  for (const BottomButton& b : kBottom) {
    add(ButtonRow(b.id, {b.left, 560, b.right, 586}, {kOkFaces, kBoldCaption}, general(b.caption)));
  }

  // ---- page 1
  constexpr FaceFiles kMarkFaces[3] = {SameFace({SkinFolder::kControls, u"circle.png"}),
                                       SameFace({SkinFolder::kControls, u"circle_up.png"}),
                                       SameFace({SkinFolder::kControls, u"circle_down.png"})};
  constexpr const char16_t* kMarkNumbers[8] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8"};
  for (int b = 0; b < kAssignCount; ++b) {
    const int top = AssignTop(b);
    // Captions say what each button does; the window writes them.
    add(ButtonRow(kFirstAssign + b, {334, top, 481, top + 20}, {kAssignFaces, kBoldCaption})
            .OnPages({1}));
    add(ButtonRow(kFirstMark + b, {313, top, 332, top + 18},
                  {kMarkFaces[b < 8 ? 0 : b - 7], kBoldCaption},
                  b < 8 ? FixedText(kMarkNumbers[b]) : TextKey{})
            .Disabled()
            .OnPages({1}));
  }
  struct PointerRow {
    int labelTop, sliderTop, sliderId;
    ProfileField field;
  };
  constexpr PointerRow kPointerRows[] = {
      {200, 219, kAccelerationSlider, ProfileField::Acceleration},
      {247, 268, kPointerSpeedSlider, ProfileField::MouseSensitivity},
      {296, 314, kWheelLinesSlider, ProfileField::WheelScrollLines},
      {349, 374, kDoubleClickSlider, ProfileField::DoubleClickSpeed}};
  for (int k = 0; k < 4; ++k) {
    const PointerRow& row = kPointerRows[k];
    add(LabelRow(kFirstPointerLabel + k, {511, row.labelTop, 721, row.labelTop + 16},
                 general(1 + k))
            .OnPages({1}));
    add(SliderRow(row.sliderId, {511, row.sliderTop, 721, row.sliderTop + 18},
                  PointerSlider(row.field))
            .OnPages({1}));
  }
  add(LabelRow(kPollingLabel, {511, 418, 721, 434}, general(5)).OnPages({1}));
  constexpr int kPollingLeft[kPollingCount] = {510, 565, 620, 675};
  constexpr int kPollingRight[kPollingCount] = {563, 618, 673, 734};
  for (int k = 0; k < kPollingCount; ++k) {
    add(ButtonRow(kFirstPolling + k, {kPollingLeft[k], 441, kPollingRight[k], 457},
                  {kCheckBoxFaces, kCheckBoxCaption}, general(6 + k))
            .InGroup(tuner_group::kPolling)
            .OnPages({1}));
  }

  // ---- page 2
  add(LabelRow(kStageTitle, {73, 185, 378, 202}, {}).OnPages({2}));
  for (int s = 0; s < kStageCount; ++s) {
    const int x = kStageButtonX[s];
    add(ButtonRow(kFirstStage + s, {x, 205, x + 62, 227}, {kStageFaces, kStageCaption},
                  general(15 + s))
            .OnPages({2}));
    add(LabelRow(kFirstPlusMark + s, {kPlusX[s], 237, kPlusX[s] + 13, 250}, FixedText(u"+"),
                 kMarkLabel)
            .OnPages({2}));
    add(LabelRow(kFirstMinusMark + s, {kPlusX[s] + 1, 444, kPlusX[s] + 14, 457}, FixedText(u"-"),
                 kMarkLabel)
            .OnPages({2}));
    // Linked and separate sliders share the column; the window shows one kind per stage.
    add(SliderRow(kFirstLinkedSlider + s, {kLinkedSliderX[s], 258, kLinkedSliderX[s] + 51, 439},
                  StageSlider(u"dpi-indicator-x2.png", u"x2.png"))
            .OnPages({2}));
    add(SliderRow(kFirstXSlider + s, {kLinkedSliderX[s], 258, kLinkedSliderX[s] + 22, 439},
                  StageSlider(u"dpi-indicator-x.png", s == kStageCount - 1 ? u"x3.png" : u"x.png"))
            .OnPages({2}));
    add(SliderRow(kFirstYSlider + s, {kYSliderX[s], 258, kYSliderX[s] + 22, 439},
                  StageSlider(u"dpi-indicator-y.png", u"x3.png"))
            .OnPages({2}));
    add(LabelRow(kFirstXLabel + s, {kXLabelX[s], 462, kXLabelX[s] + 33, 475}, {}, kValueLabel)
            .OnPages({2}));
    add(LabelRow(kFirstYLabel + s, {kYLabelX[s], 462, kYLabelX[s] + 32, 475}, {}, kValueLabel)
            .OnPages({2}));
  }

  // ---- page 3
  for (int m = 0; m < kModeCount; ++m) {
    const bool top = m < 4;
    const int left = 100 + 150 * (m % 4);
    add(ButtonRow(kFirstMode + m, {left, top ? 210 : 480, left + 150, top ? 236 : 506},
                  {top ? kModeFacesTop : kModeFacesBottom, kTabCaption}, general(80 + m))
            .InGroup(kModes)
            .OnPages({3}));
  }
  for (int k = 0; k < kPresetCount; ++k) {
    add(ButtonRow(kFirstPreset + k, {107 + 26 * k, 288, 131 + 26 * k, 312},
                  {SameFace({SkinFolder::kBackground, kPresetPictures[k]}), kNoCaption})
            .OnPages({3}));
  }
  struct OptionGroup {
    int firstId, group, left, top, firstCaption;
  };
  constexpr OptionGroup kOptions[] = {{kFirstRightLevel, tuner_group::kRightLevel, 527, 290, 26},
                                      {kFirstRightRate, tuner_group::kRightRate, 527, 410, 30},
                                      {kFirstRightRate6, tuner_group::kRightRate6, 527, 410, 34},
                                      {kFirstLeftLevel, tuner_group::kLeftLevel, 127, 290, 26},
                                      {kFirstLeftRate, tuner_group::kLeftRate, 257, 290, 30}};
  for (const OptionGroup& g : kOptions) {
    for (int j = 0; j < kOptionRows; ++j) {
      add(ButtonRow(g.firstId + j, {g.left, g.top + 24 * j, g.left + 89, g.top + 16 + 24 * j},
                    {kCheckBoxFaces, kCheckBoxCaption}, general(g.firstCaption + j))
              .InGroup(g.group)
              .OnPages({3}));
    }
  }
  struct LightingLabel {
    TableRect place;
    int caption;
  };
  constexpr LightingLabel kLightingLabels[kLightingLabelCount] = {
      {{108, 260, 204, 280}, 23}, {{308, 260, 461, 280}, 24}, {{508, 260, 650, 280}, 25},
      {{508, 381, 640, 400}, 29}, {{508, 381, 640, 400}, 33}, {{108, 260, 220, 280}, 25},
      {{248, 260, 380, 280}, 29}, {{108, 260, 250, 280}, 88}};
  for (int l = 0; l < kLightingLabelCount; ++l) {
    add(LabelRow(kFirstLightingLabel + l, kLightingLabels[l].place,
                 general(kLightingLabels[l].caption))
            .OnPages({3}));
  }

  // ---- page 4
  constexpr TableRect kInfoPlaces[kInfoCount] = {{289, 228, 530, 245},
                                                 {226, 251, 601, 268},
                                                 {227, 275, 600, 292},
                                                 {295, 358, 521, 374},
                                                 {275, 384, 541, 410}};
  for (int i = 0; i < kInfoCount; ++i) {
    add(LabelRow(kFirstInfo + i, kInfoPlaces[i], general(37 + i), kInfoLabel).OnPages({4}));
  }
  if (n != rows.size()) throw "the row count does not match the rows";
  return rows;
}();

}  // namespace tuner_layout

inline constexpr WindowLayout kTunerLayout{
    .name = "tuner",
    .background = {SkinFolder::kBackground, kTunerMainBackground},
    .mask = {SkinFolder::kBackground, kTunerMainMask},
    .controls = tuner_layout::kControls,
};
