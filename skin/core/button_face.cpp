#include "skin/core/button_face.h"

ButtonFaceChoice SelectButtonFace(const ButtonFaceState& s) {
  using enum CaptionColour;
  if (s.fixedFace)
    return s.fixedFaceUsesHover ? ButtonFaceChoice{2, kHover} : ButtonFaceChoice{1, kNormal};
  if (!s.toggleMode) {
    if (s.ticked) return {3, kNormal};
    if (s.pressed) return {3, kPressed};
    if (s.hover) return {2, kHover};
    return {s.disabled ? 4 : 1, kNormal};
  }
  if (s.ticked && s.disabled) return {s.tickedDisabledFace ? 3 : 4, kNormal};
  if (s.ticked) return {3, kHover};
  if (s.hover) return {2, kHover};
  if (s.disabled) return {4, kNormal};
  return {1, kNormal};
}

CaptionPoint CaptionOrigin(int orientation, int clientLeft, int clientWidth, int clientHeight,
                           int textWidth, int textHeight) {
  const int w = clientWidth / 2;
  const int h = clientHeight / 2;
  switch (orientation) {
    case kCaptionRotated90:
      return {w - textHeight / 2, h + textWidth / 2};
    case kCaptionRotated270:
      return {w + textHeight / 2, h - textWidth / 2};
    case kCaptionLeftAligned:
      return {clientLeft, h - textHeight / 2};
    default:
      return {w - textWidth / 2, h - textHeight / 2};
  }
}

int CaptionEscapement(int orientation) {
  switch (orientation) {
    case kCaptionRotated90:
      return 900;
    case kCaptionRotated270:
      return 2700;
    default:
      return 0;
  }
}
