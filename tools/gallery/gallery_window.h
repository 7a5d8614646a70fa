#pragma once
// The control gallery: one skinned window (background and outline from the installed skin)
// showing every skinned control in its states side by side, with a bitmap menu and one of its
// cascades open beside it. For people working on the skin or the controls, and for the
// screenshot test.
#include <windows.h>

#include <array>
#include <memory>

#include "skin/bitmap_btn.h"
#include "skin/bmp_menu.h"
#include "skin/clr_edit.h"
#include "skin/d_marker.h"
#include "skin/list_box_ex.h"
#include "skin/png_h_slider_bar.h"
#include "skin/png_slider_bar.h"
#include "skin/skin_image.h"
#include "skin/static_trans.h"
#include "win/unique_handle.h"
#include "win/window.h"

inline constexpr wchar_t kGalleryTitle[] = L"Vireo control gallery";

class GalleryWindow : public Window {
 public:
  static constexpr int kWidth = 757;
  static constexpr int kHeight = 582;
  static constexpr int kCloseId = 100;

  GalleryWindow() = default;
  ~GalleryWindow() override;

  // Creates and shows the window at (x, y) and opens its menu.
  bool Open(int x, int y);

 protected:
  const wchar_t* ClassName() const override { return L"VireoGallery"; }

 private:
  LRESULT OnCreate(const CREATESTRUCTW& create);
  void OnPaint();
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnMenuChoice(WPARAM wParam, LPARAM lParam);
  void OnClose();
  void OnDestroy();

  BEGIN_MESSAGE_TABLE(GalleryWindow, Window)
    MSG_WM_CREATE(OnCreate)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kMenuChoiceMessage, OnMenuChoice)
    COMMAND_ID_HANDLER(kCloseId, OnClose)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

  void CreateButtons();
  void CreateSliders();
  void CreateLists();
  void OpenDelayEditor();
  void CreateLabels();
  void CreateEditsAndBars();
  CStaticTrans& AddLabel(const wchar_t* text, const RECT& rect, int height, int weight,
                         COLORREF colour, DWORD align = SS_LEFTNOWORDWRAP);
  void OpenMenu();

  SkinImage m_background;
  SkinImage m_track;
  SkinImage m_verticalTrack;
  UniqueFont m_editFont;
  std::array<CBitmapBtn, 16> m_buttons;
  std::array<std::unique_ptr<CPngSliderBar>, 4> m_sliders;
  CListBoxEx m_recordList;
  CListBoxEx m_macroList;
  CListBoxEx m_hoverList;
  std::array<CStaticTrans, 16> m_labels;
  size_t m_labelCount = 0;
  CStaticTrans* m_choiceLabel = nullptr;
  std::array<CClrEdit, 2> m_edits;
  std::array<CDMarker, 4> m_bars;
  std::unique_ptr<CBmpMenu> m_menu;
};
