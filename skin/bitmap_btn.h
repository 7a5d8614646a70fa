#pragma once
// The one button class of the configurator: push buttons, tabs, check boxes, radio groups and
// icons, drawn from four face images with an optional caption. The button tracks hover by
// holding the mouse capture while the pointer is over it, picks the face for its state, and
// reports clicks to its parent (WM_COMMAND/BN_CLICKED) and every mouse move (0x1511).
//
//   CBitmapBtn::Setup setup{images.Faces(kOkFaces), kBoldCaption, L"OK"};
//   m_ok.Create(Hwnd(), kOkId, rect, setup);
//
// Windows built on a control table (SkinnedDialog) get their buttons made from the table.
// The parent must be a Window or Dialog of ours: it hands WM_DRAWITEM on to the button.
//
// What it shows can be read from outside as from any button, for screen readers and for tests
// driving a program: the caption is also the window text, and BM_GETCHECK answers the ticked
// state.
#include <windows.h>

#include <string>
#include <string_view>

#include "skin/control_messages.h"
#include "skin/core/button_face.h"
#include "skin/core/control_table.h"
#include "skin/face_image.h"
#include "skin/skin_image.h"
#include "win/unique_handle.h"
#include "win/window.h"

// The four faces of a button: normal, hover, pressed (also ticked), disabled. Empty faces draw
// nothing in their state.
struct ButtonFaces {
  FaceImage normal{};
  FaceImage hover{};
  FaceImage pressed{};
  FaceImage disabled{};
  // One picture for every state.
  static ButtonFaces Same(const SkinImage& image) { return {image, image, image, image}; }
};

class CBitmapBtn : public Window {
 public:
  struct Setup {
    ButtonFaces faces{};
    ButtonLook look{.caption = CaptionLayout::kNone};
    std::wstring caption{};
  };

  CBitmapBtn() = default;

  // Creates the visible owner-drawn child button (its caption as title) at `rect` in the parent's
  // client coordinates, with its faces, look and caption.
  bool Create(HWND parent, int id, const RECT& rect, const Setup& setup);
  bool Create(HWND parent, int id, const RECT& rect) { return Create(parent, id, rect, Setup{}); }
  // Takes over an existing button window (made owner-drawn, without border and tab stop).
  bool SubclassButton(HWND button);

  // The button holds the faces from now on (and lets go of the previous ones).
  void SetFaces(ButtonFaces faces);
  // Caption layout, font, colours and mode as a table row gives them.
  void SetLook(const ButtonLook& look);
  void SetCaption(std::wstring_view text, int offset, int orientation);
  // The caption text alone, keeping offset and orientation.
  void SetCaptionText(std::wstring_view text);
  void SetTicked(bool ticked);
  // The usual captioned push button: the caption shown, centred in the whole button, white in
  // every state, in the given weight.
  void SetCentredCaption(std::wstring_view text, int weight);

  // Properties the owner sets before the first paint.
  void SetShowCaption(bool show) noexcept { m_showCaption = show; }
  // Centres the caption in `box` (client coordinates).
  void SetCaptionBox(const RECT& box) noexcept {
    m_captionBoxMode = true;
    m_captionBox = box;
  }
  void SetFont(int height, int weight);
  void SetCaptionColours(COLORREF normal, COLORREF hover, COLORREF pressed) noexcept {
    m_colourNormal = normal;
    m_colourHover = hover;
    m_colourPressed = pressed;
  }
  void SetBackgroundColour(COLORREF colour) noexcept { m_background = colour; }
  void SetToggleMode(bool toggle) noexcept { m_toggleMode = toggle; }
  void SetSquareFace(bool square) noexcept { m_squareFace = square; }
  void SetFixedFace(bool fixed, bool usesHover) noexcept {
    m_fixedFace = fixed;
    m_fixedFaceUsesHover = usesHover;
  }
  void SetTickedDisabledFace(bool keepTickedFace) noexcept {
    m_tickedDisabledFace = keepTickedFace;
  }

  bool IsTicked() const noexcept { return m_ticked; }
  bool IsHover() const noexcept { return m_hover; }
  bool IsToggleMode() const noexcept { return m_toggleMode; }
  const std::wstring& Caption() const noexcept { return m_caption; }
  const RECT& CreationRect() const noexcept { return m_creationRect; }
  Gdiplus::Bitmap* Face(int number) const noexcept;
  // The face (1-4) the last paint chose, 0 before the first paint.
  int LastDrawnFace() const noexcept { return m_lastFace; }
  // Draws the button as its own paint would, at (x, y) of its parent's `dc`: for a parent that
  // paints under the button and spares it a paint of its own.
  void DrawInParent(HDC dc, int x, int y);

 private:
  BOOL OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnMouseMove(UINT keys, POINT point);
  void OnCaptureChanged(HWND newCapture);
  void OnLButtonUp(UINT keys, POINT point);
  void OnLButtonDblClk(UINT keys, POINT point);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  LRESULT OnGetCheck(WPARAM, LPARAM) { return m_ticked ? BST_CHECKED : BST_UNCHECKED; }

  BEGIN_MESSAGE_TABLE(CBitmapBtn, Window)
    MESSAGE_HANDLER(BM_GETCHECK, OnGetCheck)
    REFLECTED_WM_DRAWITEM(OnDrawItem)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_CAPTURECHANGED(OnCaptureChanged)
    MSG_WM_LBUTTONUP(OnLButtonUp)
    MSG_WM_LBUTTONDBLCLK(OnLButtonDblClk)
    MSG_WM_ERASEBKGND(OnEraseBkgnd)
  END_MESSAGE_TABLE()

  void RemoveFrameStyles() noexcept;
  // SetLook without the redraw.
  void ApplyLook(const ButtonLook& look);
  void Draw(HDC target, int x, int y, bool pressed, bool disabled);
  void DrawCaption(HDC dc, const RECT& client, COLORREF colour);
  HFONT CaptionFont(int escapement);
  void Redraw() noexcept;
  void ShowCaptionAsWindowText() noexcept;

  ButtonFaces m_faces;
  RECT m_creationRect{};
  bool m_ticked = false;
  bool m_toggleMode = false;
  bool m_hover = false;
  std::wstring m_caption;
  bool m_showCaption = false;
  bool m_captionBoxMode = false;
  RECT m_captionBox{};
  int m_captionOffset = 0;
  int m_orientation = 0;
  int m_fontHeight = 15;
  int m_fontWeight = 400;
  COLORREF m_colourNormal = RGB(255, 255, 255);
  COLORREF m_colourHover = RGB(255, 255, 255);
  COLORREF m_colourPressed = RGB(255, 255, 255);
  COLORREF m_background = RGB(0, 0, 0);
  bool m_squareFace = false;
  bool m_fixedFace = false;
  bool m_fixedFaceUsesHover = false;
  bool m_tickedDisabledFace = false;
  int m_lastFace = 0;
  // The caption font, made once per height, weight and escapement.
  UniqueFont m_font;
  int m_fontEscapement = -1;
};
