#pragma once
// CMacroDlg, the macro editor: the macro library on the left (New, Delete, Import, Export), the
// shown macro's records in the middle (recorded from the keyboard through Snare.dll, edited row
// by row, delays edited in place), its delay and playback options and the row operations on the
// right. Every change is written to the macro's file at once and the agent is told, so the
// mouse follows: 0x1514 when the records changed, 0x1516 for each button playing the macro when
// its playback changed. After deleting a macro it posts 0x1517 to its owner.
//
// The assignment menu's "edit macros" row opens it on the macro the button plays:
//
//   if (const std::optional<MacroChoice> choice = CMacroDlg::Choose(Hwnd(), shownSlot)) {
//     // choice->Slot and choice->Name: the macro shown at OK (-1 and "" with an empty library);
//     // choice->LoopTime: its repeat count ("LoopTime" of its file)
//   }
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "configurator/macro_editor.h"
#include "configurator/macro_row_text.h"
#include "configurator/win32/snare_library.h"
#include "contract/window_messages.h"
#include "settings/macro_library.h"
#include "settings/win32/agent_window_notifier.h"
#include "skin/control_messages.h"
#include "skin/skinned_dialog.h"

class CBmpMenu;

struct MacroChoice {
  int Slot = -1;
  std::u16string Name;
  int LoopTime = 1;
};

class CMacroDlg : public SkinnedDialog {
 public:
  // What DoModal returns.
  static constexpr INT_PTR kResultOk = 1;
  static constexpr INT_PTR kResultLeave = 16;
  // Restores a fixed delay typed below 10 ms.
  static constexpr UINT_PTR kFixedDelayTimer = 0x2013;
  static constexpr UINT kFixedDelayRestoreMs = 2000;

  // `slot`: the library slot whose macro is shown first; the first macro when it is free or -1.
  explicit CMacroDlg(int slot = -1);
  ~CMacroDlg() override;

  // Runs the editor over `owner` with the macro of `slot` shown first. After OK, the macro shown
  // then; nothing after Leave.
  static std::optional<MacroChoice> Choose(HWND owner, int slot);

  // The macro shown (after the window closed: when it closed).
  MacroChoice Selected() const;
  // The editor's state, for tests and tools.
  const MacroEditor& Editor() const noexcept { return m_editor; }

  bool PreTranslateMessage(MSG& msg) override;

 private:
  BOOL OnReady() override;
  void PaintWindow(HDC dc, const RECT& client) override;
  void OnOK() override;
  void OnCancel() override;

  // Library.
  void OnNew();
  void OnDelete();
  void OnImport();
  void OnExport();
  void OnMacroListClick(int row, std::uintptr_t data);
  // Recording.
  void OnRecord() { StartRecording(false); }
  void OnInsertRecord() { StartRecording(true); }
  void OnStop();
  LRESULT OnHookKey(WPARAM vk, LPARAM flags);
  // Rows.
  void OnRowOperation(int id);
  void OnMouseClick();
  void OnMenuChoice(const DecodedMenuChoice& choice);
  void OnDelayEdited(int row, int value);
  // Options.
  // The delay or the fixed-delay check box was clicked.
  void OnDelayBox(int id);
  void OnLoopBox(int id);
  void OnEditKeyUp(UINT key, int tag);
  void OnFixedDelayTimer();

  void OnCommand(UINT id, UINT code, HWND control);
  void OnBackgroundPress(UINT keys, POINT point);
  void OnDestroy();

  BEGIN_MESSAGE_TABLE(CMacroDlg, SkinnedDialog)
    MSG_WM_COMMAND(OnCommand)
    MSG_WM_LBUTTONDOWN(OnBackgroundPress)
    MSG_MACRO_LIST_CLICK(OnMacroListClick)
    MSG_LIST_DELAY_EDITED(OnDelayEdited)
    MSG_EDIT_KEY_UP(OnEditKeyUp)
    MSG_MENU_CHOICE(OnMenuChoice)
    MESSAGE_HANDLER(hook_msg::kKeyEvent, OnHookKey)
    TIMER_ID_HANDLER(kFixedDelayTimer, OnFixedDelayTimer)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

  CListBoxEx& RecordList();
  CListBoxEx& MacroList();

  // Fills the macro list from the library and selects the row of `slot` (else the row `row`,
  // the last one when it is past the end); then shows that macro.
  void FillMacroList(int slot, int row = 0);
  // Shows the macro of the macro list's selected row (none: an empty editor).
  void LoadSelectedMacro();
  // Brings the record list to the editor's rows, touching only the rows that differ.
  void ShowRecords();
  void ShowOptions();
  void ShowTotals();
  // Enables what can be used in the current state.
  void UpdateControls();
  // An open delay editor commits its value now, into the row it was opened on, before rows
  // change or another macro is shown.
  void CommitDelayEdit();
  // Takes the record list's selection into the editor.
  void TakeSelectedRow();
  // Writes what changed to the macro's file and tells the agent.
  void SaveChanges();
  void StartRecording(bool insert);
  void StopRecording();
  void CloseMenu();
  // The warning dialog with WARNING `first` and `second`; true when answered OK.
  bool Warn(int first, int second);
  bool Editable() const;

  int m_initialSlot;
  MacroLibrary m_library;
  AgentWindowNotifier m_agent;
  MacroEditor m_editor;
  std::u16string m_name;                 // the macro shown; "" with none
  std::vector<MacroListEntry> m_macros;  // the macro list's rows
  std::vector<std::pair<std::wstring, std::uintptr_t>> m_shownRows;  // the record list's rows
  MouseButtonNames m_buttonNames;
  SnareLibrary m_hook;
  std::unique_ptr<CBmpMenu> m_menu;
};
