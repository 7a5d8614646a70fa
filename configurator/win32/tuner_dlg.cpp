// CTunerDlg: the frame. Creation, painting, the bottom row, tabs, profile buttons, export and
// import, the resets, the notifications to the agent and the agent's news.
#include "configurator/win32/tuner_dlg.h"

#include <commdlg.h>
#include <shellapi.h>

#include <array>

#include "configurator/agent_news.h"
#include "configurator/lighting_page.h"
#include "configurator/win32/warning_dlg.h"
#include "contract/program_names.h"
#include "settings/folders.h"
#include "settings/profile_files.h"
#include "settings/skin_texts.h"
#include "win/text.h"

namespace {

constexpr int kMainIconResource = 5;
constexpr ImageFile kMousePicture{SkinFolder::kBackground, u"mouse-layout-front.png"};
constexpr TableRect kMousePicturePlace{101, 201, 291, 473};
// What a page switch repaints: everything between the tabs and the profile buttons.
constexpr RECT kPageArea{73, 201, 715, 501};

// The exchange files of single profiles: "pfd(*.pfd)|*.pfd|" as the file dialogs take it.
constexpr wchar_t kProfileFileFilter[] = L"pfd(*.pfd)\0*.pfd\0";
constexpr wchar_t kProfileFileExtension[] = L"pfd";

HWND FindAgentWindow() {
  return ::FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle));
}

// The system's save or open dialog for a profile exchange file, starting in the data folder;
// the chosen path, or empty when cancelled.
std::u16string AskProfileFile(HWND owner, bool save) {
  std::array<wchar_t, MAX_PATH> path{};
  const std::wstring folder = ToWide(DataFolder());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kProfileFileFilter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrDefExt = kProfileFileExtension;
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  // An import names a file that is there.
  if (!save) dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
  return chosen ? std::u16string(AsU16(path.data())) : std::u16string();
}

bool Confirmed(HWND owner, int firstText) {
  CWarningDlg warning(SkinText(u"WARNING", firstText), SkinText(u"WARNING", firstText + 1),
                      SkinText(u"WARNING", firstText + 2));
  return warning.DoModal(owner) == IDOK;
}

}  // namespace

CTunerDlg::CTunerDlg()
    : SkinnedDialog(
          kTunerLayout,
          // No caption; minimised and closed from the task bar like any program.
          DialogTemplate(WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, WS_EX_APPWINDOW, 10, 10)),
      m_macros(DataFolder()) {
  // Page 1 opens first; the other pages' controls follow once the window is on the screen.
  MakePagesLater(1);
}

CTunerDlg::~CTunerDlg() = default;

BOOL CTunerDlg::OnReady() {
  SetTimer(configurator_msg::kAgentWatchdogTimer, configurator_msg::kAgentWatchdogDelayMs);

  const HINSTANCE module = ModuleInstance();
  m_icon.reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(kMainIconResource),
                                               IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                               ::GetSystemMetrics(SM_CYICON), 0)));
  m_smallIcon.reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(kMainIconResource),
                                                    IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                    ::GetSystemMetrics(SM_CYSMICON), 0)));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.get()));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));

  ShowPageNumber(1);
  LoadWorkingSet();
  RefreshAll();
  WriteCaptions();
  m_pickerField.Build(static_cast<PickerColour>(LightingColor(Current())));
  BuildPickerField();
  // The agent finds the window by this title.
  ::SetWindowTextW(Hwnd(), AsWide(program_names::kConfiguratorWindowTitle));
  return TRUE;
}

std::vector<ImageFile> CTunerDlg::FirstPaintPictures() const {
  return {kMousePicture};  // page 1's
}

void CTunerDlg::PaintWindow(HDC dc, const RECT& client) {
  if (::IsIconic(Hwnd())) {
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const int size = ::GetSystemMetrics(SM_CXICON);
    ::DrawIcon(dc, (client.right - size) / 2, (client.bottom - size) / 2, m_icon.get());
    return;
  }
  SkinnedDialog::PaintWindow(dc, client);
  if (Page() == 1) {
    DrawSkinImage(dc, Images().Image(kMousePicture).get(), kMousePicturePlace.left,
                  kMousePicturePlace.top, kMousePicturePlace.Width(), kMousePicturePlace.Height());
  } else if (Page() == 3) {
    PaintLightingPage(dc);
  }
}

void CTunerDlg::LoadWorkingSet() {
  m_loadScratch = ProfileSet{};
  m_profileSet = ProfileSet{};
  ResetProfileSet(m_loadScratch);
  LoadProfileFiles(m_loadScratch, DataFolder());
  ValidateProfileSet(m_profileSet, m_loadScratch);
  m_curProfile = m_profileSet.CurrentProfile;
  m_unsentChanges = false;
}

void CTunerDlg::SelectProfile(int index) {
  if (index < 0 || index >= kProfileCount) return;
  Group(tuner_group::kProfiles).Select(index);
  m_curProfile = index;
  m_profileSet.CurrentProfile = index;
}

void CTunerDlg::ShowPageNumber(int page) {
  if (!ShowPage(page)) return;
  ::InvalidateRect(Hwnd(), &kPageArea, FALSE);
  Group(tuner_group::kTabs).Select(page - 1);
  if (page == 2) {
    RefreshResolutionPage();
    ShowStageTitle();
  } else if (page == 3) {
    m_pickerMarker = POINT{picker::kLeft, picker::kTop};
    ShowLightingMode(LightingMode(Current()));
    SelectOptionButtons();
  }
}

void CTunerDlg::OnAnyCommand(WORD, WORD, HWND) {
  CloseMenu();
  SetMsgHandled(false);
}

void CTunerDlg::CloseMenu() {
  m_menuButton = -1;
  m_menuProfile = -1;
  m_openMenu.reset();
}

void CTunerDlg::OnPress(UINT, POINT point) {
  CloseMenu();
  if (Page() == 3 && LightingModeHasColour(LightingMode(Current())) &&
      picker::Contains(point.x, point.y)) {
    PickColour(point);
  }
  // The base class then starts dragging the window by its background.
  SetMsgHandled(false);
}

void CTunerDlg::OnWatchdog() {
  KillTimer(configurator_msg::kAgentWatchdogTimer);
  if (FindAgentWindow() != nullptr) return;
  const std::wstring agent = ToWide(ProgramFolder()) + AsWide(program_names::kAgentProgram);
  ::ShellExecuteW(nullptr, L"open", agent.c_str(), nullptr, nullptr, SW_SHOW);
}

// ---------------------------------------------------------------- notifications

void CTunerDlg::SendToAgent(HWND agent, unsigned message) {
  // The agent answers when it is done with the mouse; the files are written by then.
  if (agent != nullptr) ::SendMessageW(agent, message, 0, 0);
}

void CTunerDlg::NotifyApplyAll() {
  const HWND agent = FindAgentWindow();
  SaveProfileFiles(m_profileSet, DataFolder());
  SendToAgent(agent, agent_msg::kApplyAll);
  m_unsentChanges = false;
}

void CTunerDlg::NotifyProfileSwitch() {
  const HWND agent = FindAgentWindow();
  SaveProfileFiles(m_profileSet, DataFolder());
  // Edits not yet sent go to the mouse with the switch, so the mouse and the files agree.
  SendToAgent(agent, m_unsentChanges ? agent_msg::kApplyAll : agent_msg::kProfileSelected);
  m_unsentChanges = false;
}

void CTunerDlg::NotifyLighting() {
  const HWND agent = FindAgentWindow();
  SaveLightingKeys(m_profileSet, DataFolder());
  SendToAgent(agent, agent_msg::kLightingChanged);
}

// ---------------------------------------------------------------- the frame's buttons

void CTunerDlg::OnApply() {
  NotifyApplyAll();
}

void CTunerDlg::OnOkButton() {
  NotifyApplyAll();
  End(IDOK);
}

void CTunerDlg::OnTab(int id) {
  ShowPageNumber(id - tuner_id::kFirstTab + 1);
}

void CTunerDlg::OnProfileButton(int id) {
  SelectProfile(id - tuner_id::kFirstProfile);
  RefreshAll();
  WriteCaptions();
  NotifyProfileSwitch();
}

void CTunerDlg::OnExport() {
  const std::u16string path = AskProfileFile(Hwnd(), true);
  if (!path.empty()) ExportProfile(path, Current());
}

void CTunerDlg::OnImport() {
  const std::u16string path = AskProfileFile(Hwnd(), false);
  if (path.empty()) return;
  // Into a copy, taken over only when the file is an exchange file, and validated like a
  // loaded profile.
  ProfileSet imported = m_profileSet;
  if (!ImportProfile(path, imported.Profiles[m_curProfile])) return;
  ValidateProfileSet(m_profileSet, imported);
  NotifyApplyAll();
  RefreshAll();
  WriteCaptions();
}

void CTunerDlg::OnResetProfile() {
  if (!Confirmed(Hwnd(), 3)) return;
  ApplyFactoryDefaults(m_profileSet, m_curProfile);
  RefreshAll();
  WriteCaptions();
  NotifyApplyAll();
}

void CTunerDlg::OnResetAll() {
  if (!Confirmed(Hwnd(), 6)) return;
  for (int p = 0; p < kProfileCount; ++p) ApplyFactoryDefaults(m_profileSet, p);
  SelectProfile(0);
  RefreshAll();
  WriteCaptions();
  NotifyApplyAll();
}

// ---------------------------------------------------------------- messages

LRESULT CTunerDlg::OnMenuChoice(WPARAM, LPARAM lParam) {
  // A choice counts only while the buttons it is for are shown.
  if (Page() != 1) return 0;
  const DecodedMenuChoice choice =
      DecodeMenuChoice(0, static_cast<std::uint32_t>(lParam & 0xFFFFFFFF));
  ApplyMenuChoice(choice.rowId, choice.subRowId);
  return 0;
}

LRESULT CTunerDlg::OnAgentNews(WPARAM kind, LPARAM value) {
  const AgentNewsEffect effect =
      ApplyAgentNews(m_profileSet, static_cast<unsigned>(kind), static_cast<long>(value));
  switch (effect.What) {
    case AgentNews::kReload:
      LoadWorkingSet();
      RefreshAll();
      WriteCaptions();
      break;
    case AgentNews::kStage:
      ShowStageTitle();
      break;
    case AgentNews::kProfile:
      SelectProfile(effect.Value);
      RefreshAll();
      WriteCaptions();
      break;
    case AgentNews::kPollingRate:
      Group(tuner_group::kPolling).Select(effect.Value);
      break;
    case AgentNews::kLightingMode:
      ShowLightingMode(effect.Value);
      SelectOptionButtons();
      break;
    case AgentNews::kPointerSpeed:
      Slider(tuner_id::kPointerSpeedSlider).SetSliderValue(effect.Value);
      break;
    case AgentNews::kIgnored:
      break;
  }
  return 0;
}

void CTunerDlg::OnMacroDeleted() {
  // Every profile's assignments of the deleted macro become "no function", not only those shown.
  for (int p = 0; p < kProfileCount; ++p) {
    if (p != m_curProfile) CaptionsOf(m_profileSet.Profiles[p]);
  }
  WriteCaptions();
}

LRESULT CTunerDlg::OnQueryDragIcon(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_icon.get());
}

LRESULT CTunerDlg::OnActivateApp(WPARAM active, LPARAM) {
  if (!active) CloseMenu();
  return 0;
}

void CTunerDlg::OnDestroy() {
  CloseMenu();
  SetMsgHandled(false);
}
