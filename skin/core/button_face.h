#pragma once
// Which face and caption colour an image button shows in which state, and where its caption
// starts. The rows of the face table are tried from the top; the first that applies wins.

enum class CaptionColour { kNormal, kHover, kPressed };

struct ButtonFaceState {
  bool fixedFace = false;
  bool fixedFaceUsesHover = false;
  bool toggleMode = false;
  bool tickedDisabledFace = false;  // toggle mode: a ticked disabled button keeps face 3
  bool ticked = false;
  bool pressed = false;
  bool hover = false;
  bool disabled = false;
};

struct ButtonFaceChoice {
  int face = 1;  // 1 normal, 2 hover, 3 pressed or ticked, 4 disabled
  CaptionColour colour = CaptionColour::kNormal;
  bool operator==(const ButtonFaceChoice&) const = default;
};

ButtonFaceChoice SelectButtonFace(const ButtonFaceState& state);

enum CaptionOrientation {
  kCaptionRotated90 = 2,
  kCaptionRotated270 = 3,
  kCaptionLeftAligned = 4,
  // Anything else: centred.
};

struct CaptionPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CaptionPoint&) const = default;
};

// Starting point of a caption measuring textWidth x textHeight on a client area of
// clientWidth x clientHeight whose left edge is clientLeft. Rotated captions run along their
// baseline from this point (upwards for 90 degrees, downwards for 270).
CaptionPoint CaptionOrigin(int orientation, int clientLeft, int clientWidth, int clientHeight,
                           int textWidth, int textHeight);

// The escapement (tenths of a degree) of the caption font.
int CaptionEscapement(int orientation);
