#pragma once
// The configurator's main window: a borderless window drawn from the skin (outline cut from its
// mask, dragged by its background) whose four pages edit the five profiles of the mouse.
//
// It keeps the working profile set in memory. Pointer settings, polling rate, stages and button
// assignments stay there until Apply, OK, Import, a reset or a profile switch writes all five
// profile files and tells the agent (SendMessage, waiting while the agent writes the mouse);
// every lighting change is written and sent at once. The agent's news (0x1515) moves the
// controls when the mouse changed by itself. 500 ms after the window opens it starts hid.exe
// when the agent is not running.
//
// Implemented in four files: the frame and its messages (tuner_dlg.cpp), pages 1, 2 and 4
// (tuner_dlg_pages.cpp), the assignment menus and their choices (tuner_dlg_assign.cpp), the
// lighting page (tuner_dlg_lighting.cpp).
#include <windows.h>

#include <memory>
#include <optional>

#include "configurator/assign_choice.h"
#include "configurator/picker_field.h"
#include "configurator/tuner_layout.h"
#include "configurator/write_captions.h"
#include "contract/window_messages.h"
#include "settings/macro_library.h"
#include "settings/profile_set.h"
#include "settings/win32/keyboard_layout_win32.h"
#include "skin/bmp_menu.h"
#include "skin/skinned_dialog.h"
#include "win/unique_handle.h"

class CTunerDlg : public SkinnedDialog, private ChoiceWindows {
 public:
  CTunerDlg();
  ~CTunerDlg() override;

 private:
  // ---- frame (tuner_dlg.cpp)
  BOOL OnReady() override;
  void OnPageMade(int page) override;
  void PaintWindow(HDC dc, const RECT& client) override;
  std::vector<ImageFile> FirstPaintPictures() const override;
  // Enter does not end the window: only OK, Cancel, Close and Escape do.
  void OnOK() override {}
  void OnAnyCommand(WORD id, WORD code, HWND control);
  void OnPress(UINT keys, POINT point);
  void OnWatchdog();
  void OnApply();
  void OnExport();
  void OnImport();
  void OnResetProfile();
  void OnResetAll();
  void OnOkButton();
  void OnCancelButton() { End(IDCANCEL); }
  void OnMinimise() { ::ShowWindow(Hwnd(), SW_MINIMIZE); }
  void OnTab(int id);
  void OnProfileButton(int id);
  LRESULT OnMenuChoice(WPARAM wParam, LPARAM lParam);
  LRESULT OnAgentNews(WPARAM kind, LPARAM value);
  void OnMacroDeleted();
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  // Another program became active: an open menu (topmost) closes, as a system menu does.
  LRESULT OnActivateApp(WPARAM active, LPARAM);
  void OnDestroy();

  // ---- pages 1, 2 and 4 (tuner_dlg_pages.cpp)
  void OnSliderMoved(int id, int value);
  void OnPollingButton(int id);
  void OnStageButton(int id);
  void OnAssignButton(int id);

  // ---- the assignment menus (tuner_dlg_assign.cpp)
  // Opens the menu of assignment button `button` (0-9) beside it.
  void OpenAssignMenu(int button);
  // The choice of the open menu for the button and profile it was opened for.
  void ApplyMenuChoice(int code, int sub);
  std::optional<CapturedKeys> CaptureKeys(KeyCapture::Mode mode,
                                          const CapturedKeys& preset) override;
  std::optional<FireKey::Setup> SetUpFireKey(const FireKey::Setup& preset) override;
  std::optional<int> EditMacro(int shownSlot) override;
  void WarnPrimaryClick() override;

  // ---- page 3 (tuner_dlg_lighting.cpp)
  void OnModeButton(int id);
  void OnPresetButton(int id);
  void OnOptionButton(int id);

  BEGIN_MESSAGE_TABLE(CTunerDlg, SkinnedDialog)
    // Every command first closes an open assignment menu.
    MSG_WM_COMMAND(OnAnyCommand)
    COMMAND_HANDLER(tuner_id::kApply, BN_CLICKED, OnApply)
    COMMAND_HANDLER(tuner_id::kExport, BN_CLICKED, OnExport)
    COMMAND_HANDLER(tuner_id::kImport, BN_CLICKED, OnImport)
    COMMAND_HANDLER(tuner_id::kResetProfile, BN_CLICKED, OnResetProfile)
    COMMAND_HANDLER(tuner_id::kResetAll, BN_CLICKED, OnResetAll)
    COMMAND_HANDLER(tuner_id::kOk, BN_CLICKED, OnOkButton)
    COMMAND_HANDLER(tuner_id::kCancel, BN_CLICKED, OnCancelButton)
    COMMAND_HANDLER(tuner_id::kClose, BN_CLICKED, OnCancelButton)
    COMMAND_HANDLER(tuner_id::kMinimise, BN_CLICKED, OnMinimise)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstTab, tuner_id::kFirstTab + tuner_id::kTabCount - 1,
                               BN_CLICKED, OnTab)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstProfile, tuner_id::kFirstProfile + kProfileCount - 1,
                               BN_CLICKED, OnProfileButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstMode,
                               tuner_id::kFirstMode + tuner_id::kModeCount - 1, BN_CLICKED,
                               OnModeButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstStage,
                               tuner_id::kFirstStage + tuner_id::kStageCount - 1, BN_CLICKED,
                               OnStageButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstPolling,
                               tuner_id::kFirstPolling + tuner_id::kPollingCount - 1, BN_CLICKED,
                               OnPollingButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstAssign,
                               tuner_id::kFirstAssign + tuner_id::kAssignCount - 1, BN_CLICKED,
                               OnAssignButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstPreset,
                               tuner_id::kFirstPreset + tuner_id::kPresetCount - 1, BN_CLICKED,
                               OnPresetButton)
    COMMAND_RANGE_CODE_HANDLER(tuner_id::kFirstRightLevel,
                               tuner_id::kFirstLeftRate + tuner_id::kOptionRows - 1, BN_CLICKED,
                               OnOptionButton)
    MSG_WM_LBUTTONDOWN(OnPress)
    TIMER_ID_HANDLER(configurator_msg::kAgentWatchdogTimer, OnWatchdog)
    MESSAGE_HANDLER(kMenuChoiceMessage, OnMenuChoice)
    MSG_SLIDER_MOVED(OnSliderMoved)
    MESSAGE_HANDLER(configurator_msg::kAgentNews, OnAgentNews)
    MESSAGE_SIGNAL_HANDLER(configurator_msg::kMacroDeleted, OnMacroDeleted)
    MESSAGE_HANDLER(WM_QUERYDRAGICON, OnQueryDragIcon)
    MESSAGE_HANDLER_THEN_DEFAULT(WM_ACTIVATEAPP, OnActivateApp)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

  // ---- frame
  ProfileRecord& Current() { return m_profileSet.Profiles[m_curProfile]; }
  // Clears the working set and loads it from the profile files (validated).
  void LoadWorkingSet();
  // Ticks profile button `index` and makes that profile the current one; writes nothing.
  void SelectProfile(int index);
  void ShowPageNumber(int page);
  void CloseMenu();
  // The notifications: find the agent, write the files, then send and wait.
  void NotifyApplyAll();
  void NotifyProfileSwitch();
  void NotifyLighting();
  // Sends the agent one of its messages when it runs.
  static void SendToAgent(HWND agent, unsigned message);

  // ---- pages 1, 2 and 4
  // Sets every made control from the current profile (a page made later is set when made).
  void RefreshAll();
  void RefreshResolutionPage();
  void ShowStageTitle();
  void ShowStageValues(int stage, bool x, bool y);
  // The captions of the ten assignment buttons; macro assignments whose macro is gone become
  // "no function" on the way.
  void WriteCaptions();
  // The captions of a profile's buttons; a caption that changed an assignment counts as an edit.
  AssignmentCaptions CaptionsOf(ProfileRecord& record);

  // ---- page 3
  void ShowLightingMode(int mode);
  void SelectOptionButtons();
  void BuildPickerField();
  void PaintLightingPage(HDC dc);
  void PickColour(POINT point);

  // The working set every page edits, and the copy a load goes through.
  ProfileSet m_profileSet{};
  ProfileSet m_loadScratch{};
  int m_curProfile = 0;
  // Edits since the last load, Apply, import or reset that the agent has not been sent: a
  // profile switch then delivers them with a full write instead of only switching.
  bool m_unsentChanges = false;

  std::unique_ptr<CBmpMenu> m_openMenu;
  // The button and profile the open menu was opened for; -1 while none is open.
  int m_menuButton = -1;
  int m_menuProfile = -1;

  PickerField m_pickerField;
  POINT m_pickerMarker{picker::kLeft, picker::kTop};
  // The field as painted: each row from its grey to its colour (picker::kPaintedSteps wide).
  UniqueBitmap m_pickerPicture;

  UniqueIcon m_icon;
  UniqueIcon m_smallIcon;
  MacroLibrary m_macros;
  KeyboardLayoutWin32 m_keyboardLayout;
};
