#pragma once
// The one button class of the configurator: push buttons, tabs, check boxes, radio groups and
// icons, drawn from four face images with an optional caption. The button tracks hover by
// holding the mouse capture while the pointer is over it, picks the face for its state, and
// reports clicks to its parent (WM_COMMAND/BN_CLICKED) and every mouse move (0x1511).
//
//   m_ok.Create(rect, Hwnd(), kOkId);
//   m_ok.SetFaces(LoadSkinImage(kSkinButtonsFolder, L"ok-1.png"), ..., rect);  // -1 -3 -2 -1
//   m_ok.SetCentredCaption(ToWide(SkinText(u"General", 46)), 700);
//
// The parent must be a Window or Dialog of ours: it hands WM_DRAWITEM on to the button.
#include <windows.h>

#include <string>
#include <string_view>

#include "skin/core/button_face.h"
#include "skin/skin_image.h"
#include "win/unique_handle.h"
#include "win/window.h"

// Posted to the parent after every mouse move over the button: wParam = the button's window.
inline constexpr UINT kBitmapBtnMouseMoveMessage = WM_USER + 4369;  // 0x1511

class CBitmapBtn : public Window {
 public:
  CBitmapBtn() = default;

  // Creates the visible owner-drawn child button with an empty title.
  bool Create(const RECT& rect, HWND parent, int id);
  // Takes over an existing button window (made owner-drawn, without border and tab stop).
  bool SubclassButton(HWND button);

  // Faces: normal, hover, pressed (also ticked), disabled. The button owns them from now on;
  // empty faces draw nothing in their state.
  void SetFaces(SkinImage normal, SkinImage hover, SkinImage pressed, SkinImage disabled,
                const RECT& creationRect);
  void SetCaption(std::wstring_view text, int offset, int orientation);
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

 private:
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CBitmapBtn, Window)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MESSAGE_TABLE()

  void RemoveFrameStyles() noexcept;
  void DrawCaption(HDC dc, const RECT& client, COLORREF colour);
  HFONT CaptionFont(int escapement);
  void Redraw() noexcept;

  SkinImage m_faces[4];
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
