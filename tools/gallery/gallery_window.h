#pragma once
// The control gallery: one skinned window (background and outline from the installed skin)
// showing every skinned control in its states side by side, with a bitmap menu and one of its
// cascades open beside it. For people working on the skin or the controls, and for the
// screenshot test. Its controls are those of its table (gallery_layout.h).
#include <windows.h>

#include <memory>
#include <string_view>

#include "skin/bmp_menu.h"
#include "skin/skinned_dialog.h"
#include "tools/gallery/gallery_layout.h"
#include "win/text.h"

inline const wchar_t* const kGalleryTitle = AsWide(kGalleryTitleText);

class GalleryWindow : public SkinnedDialog {
 public:
  static constexpr int kWidth = kGalleryLayout.width;
  static constexpr int kHeight = kGalleryLayout.height;

  GalleryWindow();
  ~GalleryWindow() override;

  // Creates and shows the window at (x, y) and opens its menu.
  bool Open(int x, int y);
  // A line of text under the controls (the menu's last choice, a key window's outcome).
  void ShowNote(std::wstring_view text) { Label(gallery_id::kChoiceLabel).SetText(text); }

  // For the tests: the control of a row of the table, and the pictures the window loaded.
  using SkinnedDialog::Controls;
  using SkinnedDialog::Images;

 private:
  BOOL OnReady() override;
  void OnMenuChoice(const DecodedMenuChoice& choice);
  void OnCloseButton() { End(IDCANCEL); }
  void OnTab(int id) { Group(gallery_id::kTabGroup).SelectId(id); }
  void OnDestroy();

  BEGIN_MESSAGE_TABLE(GalleryWindow, SkinnedDialog)
    MSG_MENU_CHOICE(OnMenuChoice)
    COMMAND_HANDLER(gallery_id::kClose, BN_CLICKED, OnCloseButton)
    COMMAND_RANGE_CODE_HANDLER(gallery_id::kTabTicked, gallery_id::kTab, BN_CLICKED, OnTab)
    TIMER_ID_HANDLER(kOpenMenuTimer, OnOpenMenuTimer)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

  static constexpr UINT_PTR kOpenMenuTimer = 1;
  void OnOpenMenuTimer();

  void FillLists();
  void OpenDelayEditor();
  void OpenMenu();

  std::unique_ptr<CBmpMenu> m_menu;
};
