// Image button faces per state, and the caption's starting point per orientation.
#include <gtest/gtest.h>

#include "skin/core/button_face.h"

namespace {

using enum CaptionColour;

ButtonFaceState Push() {
  return {};
}

ButtonFaceState Toggle() {
  ButtonFaceState state;
  state.toggleMode = true;
  return state;
}

TEST(ButtonFace, PushMode) {
  ButtonFaceState s = Push();
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{1, kNormal}));
  s.hover = true;
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{2, kHover}));
  s.pressed = true;  // pressed wins over hover
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{3, kPressed}));
  s.ticked = true;  // ticked wins over pressed, with the normal colour
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{3, kNormal}));

  ButtonFaceState disabled = Push();
  disabled.disabled = true;
  EXPECT_EQ(SelectButtonFace(disabled), (ButtonFaceChoice{4, kNormal}));
  disabled.ticked = true;  // a ticked push button shows face 3 even when disabled
  EXPECT_EQ(SelectButtonFace(disabled), (ButtonFaceChoice{3, kNormal}));
}

TEST(ButtonFace, ToggleMode) {
  ButtonFaceState s = Toggle();
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{1, kNormal}));
  s.pressed = true;  // a press alone changes nothing in toggle mode
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{1, kNormal}));
  s.hover = true;
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{2, kHover}));
  s.ticked = true;
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{3, kHover}));
  s.disabled = true;
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{4, kNormal}));
  s.tickedDisabledFace = true;
  EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{3, kNormal}));

  ButtonFaceState disabled = Toggle();
  disabled.disabled = true;
  EXPECT_EQ(SelectButtonFace(disabled), (ButtonFaceChoice{4, kNormal}));
  disabled.hover = true;  // hover comes before disabled in toggle mode
  EXPECT_EQ(SelectButtonFace(disabled), (ButtonFaceChoice{2, kHover}));
}

TEST(ButtonFace, FixedFaceIgnoresEveryState) {
  for (bool toggle : {false, true}) {
    ButtonFaceState s;
    s.toggleMode = toggle;
    s.fixedFace = true;
    s.ticked = s.pressed = s.hover = s.disabled = true;
    EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{1, kNormal}));
    s.fixedFaceUsesHover = true;
    EXPECT_EQ(SelectButtonFace(s), (ButtonFaceChoice{2, kHover}));
  }
}

TEST(ButtonFace, CaptionOriginPerOrientation) {
  // Client 101 x 31 (halves 50 and 15), caption 40 x 13.
  EXPECT_EQ(CaptionOrigin(1, 0, 101, 31, 40, 13), (CaptionPoint{30, 9}));
  EXPECT_EQ(CaptionOrigin(0, 0, 101, 31, 40, 13), (CaptionPoint{30, 9}));
  EXPECT_EQ(CaptionOrigin(2, 0, 101, 31, 40, 13), (CaptionPoint{44, 35}));
  EXPECT_EQ(CaptionOrigin(3, 0, 101, 31, 40, 13), (CaptionPoint{56, -5}));
  EXPECT_EQ(CaptionOrigin(4, 3, 101, 31, 40, 13), (CaptionPoint{3, 9}));
  // A caption wider than the button starts left of it (and is clipped when drawn).
  EXPECT_EQ(CaptionOrigin(1, 0, 50, 20, 300, 14), (CaptionPoint{-125, 3}));

  EXPECT_EQ(CaptionEscapement(2), 900);
  EXPECT_EQ(CaptionEscapement(3), 2700);
  EXPECT_EQ(CaptionEscapement(4), 0);
  EXPECT_EQ(CaptionEscapement(1), 0);
}

}  // namespace
