// CTunerDlg: the assignment menus of page 1 and what their choices do. A menu opens beside the
// pressed button; its choice changes the button's record in the working set (after the key,
// combination or rapid-fire window, or the macro editor, when the function needs one), and the
// button's caption says so at once. Apply, OK, a reset or a profile switch later takes it to the
// files and the mouse.
#include <string>

#include "configurator/assign_menu.h"
#include "configurator/win32/fire_key_dlg.h"
#include "configurator/win32/macro_dlg.h"
#include "configurator/win32/single_key.h"
#include "configurator/win32/tuner_dlg.h"
#include "configurator/win32/warning_dlg.h"
#include "settings/skin_texts.h"
#include "win/text.h"

namespace {

std::wstring MenuImage(const wchar_t* file) {
  return SkinPath(kSkinBackgroundFolder, file);
}

MenuRect ScreenRectOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The part of the screen the menu may cover: the work area of the button's monitor.
MenuRect WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return {0, 0, ::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN)};
  }
  const RECT& work = monitor.rcWork;
  return {work.left, work.top, work.right, work.bottom};
}

}  // namespace

void CTunerDlg::OpenAssignMenu(int button) {
  CloseMenu();
  if (button < 0 || button >= tuner_id::kAssignCount) return;
  auto menu = std::make_unique<CBmpMenu>();
  const std::wstring normal = MenuImage(L"menuitem-n.png");
  const std::wstring hover = MenuImage(L"menuitem-d.png");
  if (assign_menu::IsWheelButton(button)) {
    menu->SetRowFaces(normal, hover, hover, normal);
    menu->SetSubRowFaces(normal, hover, hover, normal);
  } else {
    const std::wstring secondHover = MenuImage(L"menuitem-d2.png");
    const std::wstring secondNormal = MenuImage(L"menuitem-n2.png");
    menu->SetRowFaces(normal, hover, secondHover, secondNormal);
    menu->SetSubRowFaces(normal, hover, secondHover, secondNormal);
  }
  const std::vector<tagBMPMENUINFO> rows =
      assign_menu::Rows(button, SkinTexts::ForProcess(), m_macros.CachedMacroNames());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    menu->AddRow(ToWide(rows[r].Text()), rows[r].id);
    for (const tagBMPMENUINFO& sub : rows[r].subItems) {
      menu->AddSubRow(static_cast<int>(r), ToWide(sub.Text()), sub.id);
    }
  }
  const HWND buttonWindow = Button(tuner_id::kFirstAssign + button).Hwnd();
  const MenuRect place = assign_menu::Place(
      ScreenRectOf(buttonWindow), menu->WindowSize(menu->RowCount()), WorkAreaOf(buttonWindow));
  menu->SetPosition(place.left, place.top);
  if (!menu->Open(Hwnd())) return;
  m_openMenu = std::move(menu);
  m_menuButton = button;
  m_menuProfile = m_curProfile;
}

void CTunerDlg::ApplyMenuChoice(int code, int sub) {
  const int button = m_menuButton;
  const int profile = m_menuProfile;
  CloseMenu();
  if (button < 0 || profile < 0 || profile >= kProfileCount) return;
  // The profile the menu was opened for, even when the mouse switched profile meanwhile.
  const ChoiceOutcome outcome =
      ApplyChoice(m_profileSet.Profiles[profile], button, code, sub, *this, m_macros);
  if (outcome == ChoiceOutcome::kChanged) m_unsentChanges = true;
  WriteCaptions();
}

std::optional<CapturedKeys> CTunerDlg::CaptureKeys(KeyCapture::Mode mode,
                                                   const CapturedKeys& preset) {
  CSingleKey window(mode, preset);
  if (window.DoModal(Hwnd()) != IDOK) return std::nullopt;
  return window.Result();
}

std::optional<FireKey::Setup> CTunerDlg::SetUpFireKey(const FireKey::Setup& preset) {
  CFireKey window(preset);
  if (window.DoModal(Hwnd()) != IDOK) return std::nullopt;
  return window.Result();
}

std::optional<int> CTunerDlg::EditMacro(int shownSlot) {
  // A macro the editor deletes meanwhile posts 0x1517 here: the captions follow at once.
  const std::optional<MacroChoice> choice = CMacroDlg::Choose(Hwnd(), shownSlot);
  if (!choice) return std::nullopt;
  return choice->Slot >= 0 ? choice->Slot : ChoiceWindows::kNoMacro;
}

void CTunerDlg::WarnPrimaryClick() {
  CWarningDlg warning(SkinText(u"WARNING", 1), SkinText(u"WARNING", 2), u"");
  warning.DoModal(Hwnd());
}
