// tuner.exe as a person uses it: the configurator, the agent (hid.exe) and the virtual mouse run
// as separate processes, the test clicks at the window's described client positions and types
// into the system's file dialogs with real input (SendInput), and checks what happened through
// the mouse's memory, the profile files and the windows. Each test starts from a fresh program
// folder (agent, configurator, skin) and a fresh data folder.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "agent/device_codes.h"
#include "configurator/catalogue_text.h"
#include "configurator/key_window_ids.h"
#include "configurator/macro_ids.h"
#include "configurator/picker_field.h"
#include "configurator/tuner_ids.h"
#include "contract/mouse_map.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/ini_file.h"
#include "settings/macro.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "settings/skin_texts.h"
#include "skin/menu_row_button.h"
#include "support/process_harness.h"
#include "support/user_input.h"
#include "support/window_capture.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/gdiplus_session.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

using namespace std::chrono_literals;
using namespace device_map;

constexpr unsigned kFullWriteReports = 106;
const wchar_t* const kTunerTitle = AsWide(program_names::kConfiguratorWindowTitle);
const wchar_t* const kAgentTitle = AsWide(program_names::kAgentWindowTitle);

// Client positions of the described controls: the middle of each.
constexpr POINT kApply{695, 573};
constexpr POINT kExport{103, 573};
constexpr POINT kImport{203, 573};
constexpr POINT kResetProfile{301, 573};
constexpr POINT kResetAll{401, 573};
constexpr POINT kCancel{597, 573};
constexpr POINT Tab(int page) {
  return {(page == 1 ? 153 : page == 2 ? 318 : page == 3 ? 483 : 647), 172};
}
constexpr POINT ProfileButton(int index) {
  return {151 + 120 * index, 534};
}
constexpr POINT PollingButton(int index) {
  return {(index == 0 ? 536 : index == 1 ? 591 : index == 2 ? 646 : 704), 449};
}
constexpr POINT LightingMode(int mode) {
  return {175 + 150 * (mode % 4), mode < 4 ? 223 : 493};
}
// The wheel-lines slider's track, towards its right end.
constexpr POINT kWheelLinesTrack{660, 323};
// Assignment button i (0-9) and the rows of its menu (rows 7 and 11: basic functions and rapid
// fire; row 5: single key).
constexpr POINT AssignButton(int i) {
  return {407, 211 + 28 * i};
}
constexpr int kSingleKeyRow = 5;
constexpr int kBasicRow = 7;
constexpr int kMacroRow = 10;
constexpr int kFireKeyRow = 11;
// The key windows' OK button and the rapid-fire window's second kind (the right button).
constexpr POINT kKeyWindowOk{181, 232};
constexpr POINT kRightButtonKind{122, 120};
// The warning dialog's buttons.
constexpr POINT kWarningOk{181, 232};
constexpr POINT kWarningCancel{280, 232};
// The macro editor's Delete, OK and Leave buttons.
constexpr POINT kMacroDelete{182, 487};
constexpr POINT kMacroOk{562, 528};
constexpr POINT kMacroLeave{661, 528};

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(20);
  }
  return true;
}

bool Ticked(HWND window, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(GetDlgItem(window, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
  return state == BST_CHECKED;
}

std::wstring TextOf(HWND window, int id) {
  wchar_t text[256] = {};
  GetWindowTextW(GetDlgItem(window, id), text, 256);
  return text;
}

class ConfiguratorTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, kAgentTitle), nullptr) << "an agent is already running";
    ASSERT_EQ(FindWindowW(nullptr, kTunerTitle), nullptr) << "a configurator is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    ASSERT_TRUE(harness::InstallConfigurator(m_program.Path()))
        << "tuner.exe or the built skin is missing";
    // Not the data folder's first run: the agent would start the configurator itself.
    CreateDirectoryW(AsWide(Data()), nullptr);
    CreateDirectoryW(AsWide(Data() + u"MacroDB\\"), nullptr);
    MacroLibrary(Data()).TakeFirstOpen();
  }

  void TearDown() override {
    if (HWND tuner = FindWindowW(nullptr, kTunerTitle)) PostMessageW(tuner, WM_CLOSE, 0, 0);
    if (m_tuner) m_tuner->WaitExit(5000);
    if (HWND agent = FindWindowW(nullptr, kAgentTitle)) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(kAgentTitle, 5000);
    }
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  // A mouse with the settings of a new one, the agent after its read-back, and the window.
  void StartAll() {
    ASSERT_NO_FATAL_FAILURE(StartMouseAndAgent());
    ASSERT_TRUE(m_agent->Started());
    ASSERT_NE(harness::WaitForReadyWindow(kAgentTitle, 15000), nullptr);
    // The read-back is over when the files are there and the mouse hears nothing more.
    ASSERT_TRUE(harness::WaitForFile(AsWide(ProfileFilePath(Data(), 5)), 15000));
    WaitForQuietMouse();
    StartTuner();
  }

  // A mouse with the settings of a new one, and the agent started against it.
  void StartMouseAndAgent() {
    VirtualMouseServer::Options options;
    options.FactorySettings = true;
    m_mouse = std::make_unique<VirtualMouseServer>(options);
    ASSERT_TRUE(m_mouse->Start());
    SetEnvironmentVariableW(L"VIREO_VMOUSE",
                            (L"127.0.0.1:" + std::to_wstring(m_mouse->Port())).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
  }

  void StartTuner() {
    m_tuner = std::make_unique<harness::Process>(m_program.Path() + L"tuner.exe");
    ASSERT_TRUE(m_tuner->Started());
    m_window = harness::WaitForReadyWindow(kTunerTitle, 15000);
    ASSERT_NE(m_window, nullptr);
  }

  void WaitForQuietMouse() {
    std::size_t last = m_mouse->ReportsReceived();
    for (int quiet = 0; quiet < 15;) {
      Sleep(20);
      const std::size_t now = m_mouse->ReportsReceived();
      quiet = now == last ? quiet + 1 : 0;
      last = now;
    }
  }

  // Clicks, then waits until the window has handled everything the click caused (a send to the
  // agent included) and the agent's progress window is gone again.
  void Click(POINT client, HWND window = nullptr) {
    harness::ClickAt(window != nullptr ? window : m_window, client);
    Settle();
  }
  void Settle() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    harness::WaitForNoWindow(L"VireoProgressbar", 10000);
  }
  // The modal dialog the window has open (warning, file dialog), once it is there.
  HWND WaitForDialog() { return WaitForOwned(m_window); }
  // Opens the menu of assignment button `button` and returns it.
  HWND OpenMenu(int button) {
    Click(AssignButton(button));
    return WaitForOwned(m_window);
  }
  // The cascade of the menu's row `row`, opened by the pointer resting on the row.
  HWND OpenCascade(HWND menu, int row) {
    harness::MoveTo(GetDlgItem(menu, kMenuRowButtonIdBase + row), {20, 5});
    return WaitForOwned(menu);
  }
  // Clicks row `row` of a menu or cascade.
  void ClickRow(HWND menu, int row) {
    harness::ClickAt(GetDlgItem(menu, kMenuRowButtonIdBase + row), {20, 5});
  }
  // A window owned by `owner` once it is shown (menu, cascade, key window, warning).
  static HWND WaitForOwned(HWND owner) {
    HWND found = nullptr;
    WaitUntil([&] {
      found = nullptr;
      for (HWND w = GetTopWindow(nullptr); w != nullptr && found == nullptr;
           w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) found = w;
      }
      return found != nullptr;
    });
    Sleep(300);  // its controls and focus are in place
    return found;
  }
  // The macro editor the window opened (its macro list is how it is told from the closing menu).
  HWND WaitForMacroEditor() {
    HWND editor = nullptr;
    WaitUntil([&] {
      editor = WaitForOwned(m_window);
      return editor != nullptr && GetDlgItem(editor, macro_dlg_id::kMacroList) != nullptr;
    });
    return editor;
  }
  // The row the editor's macro list has selected, and a click on row `row` of it.
  static int SelectedMacroRow(HWND editor) {
    DWORD_PTR row = LB_ERR;
    SendMessageTimeoutW(GetDlgItem(editor, macro_dlg_id::kMacroList), LB_GETCURSEL, 0, 0,
                        SMTO_NORMAL, 5000, &row);
    return static_cast<int>(row);
  }
  static void ClickMacroRow(HWND editor, int row) {
    const HWND list = GetDlgItem(editor, macro_dlg_id::kMacroList);
    DWORD_PTR height = 0;
    SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_NORMAL, 5000, &height);
    harness::ClickAt(list, {30, static_cast<LONG>(height) * row + static_cast<LONG>(height) / 2});
  }
  // A picture of a window as the screen shows it, for the README.
  static void TakePicture(HWND window, const wchar_t* name) {
    harness::WindowCapture capture;
    ASSERT_TRUE(harness::CaptureWindow(window, capture)) << name;
    EXPECT_TRUE(harness::SaveCaptureAsPng(capture, harness::BinFolder() + name, window)) << name;
  }
  // The open menu with its cascade as the screen shows it, over the window (for the README).
  void TakeMenuPicture(HWND menu, HWND cascade, const wchar_t* name) const {
    RECT area{}, part{};
    GetWindowRect(m_window, &area);
    for (HWND w : {menu, cascade}) {
      GetWindowRect(w, &part);
      UnionRect(&area, &area, &part);
    }
    harness::WindowCapture capture;
    ASSERT_TRUE(harness::CaptureScreenArea(area, capture)) << name;
    EXPECT_TRUE(harness::SaveCaptureAsPng(capture, harness::BinFolder() + name)) << name;
  }
  std::wstring Caption(int button) const {
    return TextOf(m_window, tuner_id::kFirstAssign + button);
  }
  std::wstring Catalogue(int code) const {
    return ToWide(CatalogueText(code, SkinTexts(ToU16(m_program.Path()))));
  }
  // The mouse's button code of button `button` of `profile`, and what the files' record of it
  // encodes to.
  ButtonCode MouseButton(int profile, int button) const {
    const std::vector<uint8_t> bytes = m_mouse->ReadMemory(ButtonAddress(profile, button), 4);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
  }
  ButtonCode FileButton(int profile, int button) const {
    ProfileSet set = Files();
    return EncodeButton(set.Profiles[profile].Buttons[button]);
  }

  static std::wstring WindowTitle(HWND window) {
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    return title;
  }
  // Text n of the skin's WARNING section: the warning dialog's title.
  std::wstring WarningText(int n) const {
    return ToWide(SkinTexts(ToU16(m_program.Path())).Caption(u"WARNING", n));
  }

  std::u16string Data() const { return ToU16(m_documents.Path()) + u"Vireo Gaming Mouse\\"; }
  ProfileSet Files() const {
    ProfileSet loaded{}, set{};
    ResetProfileSet(loaded);
    LoadProfileFiles(loaded, Data());
    ValidateProfileSet(set, loaded);
    return set;
  }
  std::string FileBytes() const {
    std::string bytes;
    for (int n = 1; n <= kProfileCount; ++n) {
      bytes += harness::ReadFileBytes(AsWide(ProfileFilePath(Data(), n)));
    }
    return bytes;
  }
  int Slider(int id) const {
    DWORD_PTR value = 0;
    SendMessageTimeoutW(GetDlgItem(m_window, id), TBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &value);
    return static_cast<int>(value);
  }

  harness::TempFolder m_program{L"vireo-tuner-program"};
  harness::TempFolder m_documents{L"vireo-tuner-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  std::unique_ptr<VirtualMouseServer> m_mouse;
  std::unique_ptr<harness::Process> m_agent;
  std::unique_ptr<harness::Process> m_tuner;
  HWND m_window = nullptr;
};

TEST_F(ConfiguratorTest, ASliderThenCancelWritesNothingAndApplyWritesAllFilesAndTheFullWrite) {
  StartAll();
  const std::string files = FileBytes();
  const std::size_t reports = m_mouse->ReportsReceived();
  const int lines = Slider(tuner_id::kWheelLinesSlider);
  Click(kWheelLinesTrack);
  ASSERT_NE(Slider(tuner_id::kWheelLinesSlider), lines) << "the click did not reach the slider";
  // Enter does not close the window (nothing would be written).
  harness::PressKey(VK_RETURN);
  Settle();
  ASSERT_TRUE(m_tuner->Running());
  Click(kCancel);
  ASSERT_TRUE(m_tuner->WaitExit(10000));
  EXPECT_EQ(FileBytes(), files);
  Sleep(200);
  EXPECT_EQ(m_mouse->ReportsReceived(), reports);

  StartTuner();
  Click(kWheelLinesTrack);
  const int chosen = Slider(tuner_id::kWheelLinesSlider);
  Click(kApply);
  ASSERT_TRUE(m_mouse->WaitForReports(reports + kFullWriteReports, 10000ms));
  WaitForQuietMouse();
  EXPECT_EQ(m_mouse->ReportsReceived() - reports, kFullWriteReports);
  // Every file holds the set as the window had it (files whose content did not change are
  // left as they are).
  const ProfileSet set = Files();
  for (int n = 1; n <= kProfileCount; ++n) {
    EXPECT_EQ(IniFile(ProfileFilePath(Data(), n))
                  .GetInt(u"GROUP" + ToU16(std::to_wstring(n - 1)), u"GroupID", -1),
              set.CurrentProfile)
        << "file " << n;
  }
  const int profile = set.CurrentProfile;
  EXPECT_EQ(set.Profiles[profile].WheelScrollLines, chosen);
  EXPECT_EQ(m_mouse->Memory()[WheelLinesAddress(profile)], chosen);
}

TEST_F(ConfiguratorTest, LightingModesAndThePickerReachTheMouseAtOnce) {
  StartAll();
  Click(Tab(3));
  ASSERT_TRUE(Ticked(m_window, tuner_id::kFirstTab + 2));
  const ProfileSet start = Files();
  const int profile = start.CurrentProfile;
  const std::size_t reports = m_mouse->ReportsReceived();

  // Steady (mode 2): the lighting goes into the mouse before the click's handling ends.
  Click(LightingMode(2));
  EXPECT_GT(m_mouse->ReportsReceived(), reports);
  EXPECT_TRUE(
      m_mouse->WaitUntil([](const VirtualMouse& m) { return m.LightingMode() == 2; }, 5000ms));
  EXPECT_EQ(Files().Profiles[profile].LedMode1, 2);
  EXPECT_TRUE(Ticked(m_window, tuner_id::kFirstMode + 2));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(m_window, tuner_id::kFirstPreset)));

  // A click into the picker stores the field entry under the pointer, which is what the
  // screen shows there. The field was built at the start from the colour of the mode then.
  const ProfileRecord& record = start.Profiles[profile];
  const PickerColour base = static_cast<PickerColour>(record.LedColor[record.LedMode1]);
  PickerField field;
  field.Build(base);
  const POINT pick{picker::kLeft + 70, picker::kTop + 40};
  const PickerColour expected = field.AtPoint(pick.x, pick.y);
  // Once the window has painted the picker the mode click showed (a paint waits for a quiet
  // queue, so it may come after the click's answer).
  COLORREF shown = CLR_INVALID;
  EXPECT_TRUE(WaitUntil([&] {
    const HDC windowDc = GetDC(m_window);
    shown = GetPixel(windowDc, pick.x, pick.y);
    ReleaseDC(m_window, windowDc);
    return shown == expected;
  })) << "shown " << shown << ", expected " << expected;
  Click(pick);
  EXPECT_EQ(static_cast<PickerColour>(Files().Profiles[profile].LedColor[2]), expected);
  EXPECT_TRUE(m_mouse->WaitUntil(
      [&](const VirtualMouse& m) {
        const std::vector<uint8_t> colour = m.ReadMemory(LightingAddress(profile), 3);
        return PickerRgb(colour[0], colour[1], colour[2]) == expected;
      },
      5000ms));

  // Off (mode 7): no colour and no options, only its note.
  Click(LightingMode(7));
  EXPECT_TRUE(
      m_mouse->WaitUntil([](const VirtualMouse& m) { return m.LightingMode() == 7; }, 5000ms));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_window, tuner_id::kFirstPreset)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_window, tuner_id::kFirstRightLevel)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_window, tuner_id::kFirstLeftLevel)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(m_window, tuner_id::kFirstLightingLabel + 7)));
  // The picker is not there to be clicked.
  const ProfileSet unchanged = Files();
  Click(pick);
  EXPECT_EQ(Files().Profiles[profile].LedColor[7], unchanged.Profiles[profile].LedColor[7]);
}

TEST_F(ConfiguratorTest, ProfileButtonsSwitchTheMouseAndTheMousesOwnChangesMoveTheWindow) {
  StartAll();
  std::size_t reports = m_mouse->ReportsReceived();
  Click(ProfileButton(2));
  EXPECT_TRUE(Ticked(m_window, tuner_id::kFirstProfile + 2));
  EXPECT_EQ(Files().CurrentProfile, 2);
  EXPECT_TRUE(
      m_mouse->WaitUntil([](const VirtualMouse& m) { return m.ActiveProfile() == 2; }, 5000ms));
  WaitForQuietMouse();
  // Nothing was edited: only the switch goes to the mouse.
  EXPECT_LT(m_mouse->ReportsReceived() - reports, 20u);

  // An unapplied edit goes along with the next switch as a full write.
  Click(PollingButton(0));
  reports = m_mouse->ReportsReceived();
  Click(ProfileButton(3));
  WaitForQuietMouse();
  EXPECT_GE(m_mouse->ReportsReceived() - reports, kFullWriteReports);
  EXPECT_EQ(m_mouse->Memory()[PollingRateAddress(2)], 8);
  EXPECT_EQ(m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.ActiveProfile(); }), 3);

  // The mouse's own switches: profile, stage, polling rate, lighting mode.
  m_mouse->SwitchProfile(1);
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstProfile + 1); }));
  EXPECT_FALSE(Ticked(m_window, tuner_id::kFirstProfile + 3));
  m_mouse->SwitchStage(3);
  EXPECT_TRUE(WaitUntil([&] {
    const std::wstring title = TextOf(m_window, tuner_id::kStageTitle);
    return title.size() > 4 && title.substr(title.size() - 4) == L" : 4";
  })) << "stage title: "
      << std::string(TextOf(m_window, tuner_id::kStageTitle).begin(),
                     TextOf(m_window, tuner_id::kStageTitle).end());
  m_mouse->SwitchPollingRate(1);
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstPolling + 3); }));
  Click(Tab(3));
  m_mouse->SwitchLightingMode(5);
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstMode + 5); }));
  EXPECT_FALSE(Ticked(m_window, tuner_id::kFirstMode));
  // Moving the controls wrote nothing.
  EXPECT_EQ(Files().CurrentProfile, 3);
}

TEST_F(ConfiguratorTest, ExportAndImportThroughTheFileDialogsRoundTripAProfile) {
  StartAll();
  // Something of its own: a lighting mode, a polling rate and a wheel setting, applied.
  Click(PollingButton(3));
  Click(kWheelLinesTrack);
  Click(kApply);
  Click(Tab(3));
  Click(LightingMode(5));
  const ProfileSet mine = Files();
  const int profile = mine.CurrentProfile;

  const std::wstring exported = m_documents.Path() + L"mine.pfd";
  Click(kExport);
  ASSERT_NE(WaitForDialog(), nullptr) << "no save dialog";
  harness::TypeText(exported);
  harness::PressKey(VK_RETURN);
  ASSERT_TRUE(harness::WaitForFile(exported, 10000));
  Settle();

  // Reset the profile (confirmed in the warning dialog): it is the factory's now.
  Click(kResetProfile);
  HWND warning = WaitForDialog();
  ASSERT_NE(warning, nullptr) << "no warning dialog";
  Click(kWarningOk, warning);
  ASSERT_TRUE(WaitUntil([&] { return Files().Profiles[profile].LedMode1 != 5; }));
  // The files are written before the agent is told: wait for the mouse to hold the factory's too.
  ASSERT_TRUE(WaitUntil([&] { return m_mouse->Memory()[PollingRateAddress(profile)] == 2; }));

  Click(kImport);
  ASSERT_NE(WaitForDialog(), nullptr) << "no open dialog";
  harness::TypeText(exported);
  harness::PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return Files().Profiles[profile].LedMode1 == 5; }));
  Settle();

  // What the files hold now exports to the very same exchange file.
  const std::u16string again = ToU16(m_documents.Path()) + u"again.pfd";
  ASSERT_TRUE(ExportProfile(again, Files().Profiles[profile]));
  EXPECT_EQ(harness::ReadFileBytes(AsWide(again)), harness::ReadFileBytes(exported));
  EXPECT_EQ(Files().Profiles[profile].PollingRate, 1);
  // The window refreshes once the agent has taken the profile, and Settle() can come back
  // before the agent's transfer has begun: wait for both.
  EXPECT_TRUE(WaitUntil([&] { return m_mouse->Memory()[PollingRateAddress(profile)] == 1; }));
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstMode + 5); }));
}

// Choices in the menus of page 1, each through its own route: a cascade row, the rapid-fire
// window, a key pressed for the key capture window (through Snare.dll). Each caption changes at
// once; nothing reaches the files or the mouse before Apply, then the mouse holds the codes.
TEST_F(ConfiguratorTest, MenuChoicesShowAtOnceAndReachTheMousesButtonMemoryOnApply) {
  GdiplusSession gdiplus;
  StartAll();
  const int profile = Files().CurrentProfile;
  const std::string files = FileBytes();

  HWND menu = OpenMenu(4);
  ASSERT_NE(menu, nullptr) << "no menu";
  const HWND cascade = OpenCascade(menu, kBasicRow);
  ASSERT_NE(cascade, nullptr) << "no cascade";
  TakeMenuPicture(menu, cascade, L"tuner-menu.png");
  ClickRow(cascade, 0);
  Settle();
  EXPECT_FALSE(IsWindow(menu)) << "the choice closes the menu";
  EXPECT_EQ(Caption(4), Catalogue(17));

  menu = OpenMenu(5);
  ClickRow(menu, kFireKeyRow);
  const HWND fire = WaitForOwned(m_window);
  ASSERT_NE(fire, nullptr) << "no rapid-fire window";
  harness::ClickAt(fire, kRightButtonKind);
  TakePicture(fire, L"tuner-fire-key.png");
  harness::ClickAt(fire, kKeyWindowOk);
  Settle();
  EXPECT_EQ(Caption(5), Catalogue(kFunctionFireKey));

  menu = OpenMenu(3);
  ClickRow(menu, kSingleKeyRow);
  const HWND single = WaitForOwned(m_window);
  ASSERT_NE(single, nullptr) << "no key capture window";
  harness::PressKey('Q');
  EXPECT_TRUE(WaitUntil([&] { return TextOf(single, single_key_id::kKeyField) == L"Q"; }));
  TakePicture(single, L"tuner-single-key.png");
  harness::ClickAt(single, kKeyWindowOk);
  Settle();
  EXPECT_EQ(Caption(3), L"Q");

  // Ctrl+C held together in the combination window.
  menu = OpenMenu(6);
  ClickRow(menu, kSingleKeyRow + 1);
  const HWND combination = WaitForOwned(m_window);
  ASSERT_NE(combination, nullptr) << "no combination window";
  INPUT keys[4] = {};
  const WORD order[4] = {VK_LCONTROL, 'C', 'C', VK_LCONTROL};
  for (int k = 0; k < 4; ++k) {
    keys[k].type = INPUT_KEYBOARD;
    keys[k].ki.wVk = order[k];
    keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof(INPUT));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(combination, single_key_id::kKeyField).size() > 4; }));
  TakePicture(combination, L"tuner-combination.png");
  harness::ClickAt(combination, kKeyWindowOk);
  Settle();
  EXPECT_NE(Caption(6).find(L" + "), std::wstring::npos)
      << std::string(Caption(6).begin(), Caption(6).end());
  EXPECT_EQ(FileBytes(), files) << "a choice alone writes nothing";

  const ButtonCode before = MouseButton(profile, 4);
  const std::size_t reports = m_mouse->ReportsReceived();
  Click(kApply);
  ASSERT_TRUE(m_mouse->WaitForReports(reports + kFullWriteReports, 10000ms));
  WaitForQuietMouse();
  const ProfileRecord record = Files().Profiles[profile];
  EXPECT_EQ(record.Buttons[4].ButtonFunc, 17);
  EXPECT_EQ(record.Buttons[5].ButtonFunc, kFunctionFireKey);
  EXPECT_EQ(record.Buttons[5].KeyBlock[0], kFireMouseButton2);
  EXPECT_EQ(record.Buttons[3].ButtonFunc, kFunctionSingleKey);
  EXPECT_EQ(record.Buttons[3].KeyBlock[0], 0x14) << "the usage of Q";
  EXPECT_EQ(record.Buttons[6].ButtonFunc, kFunctionKeyCombination);
  EXPECT_EQ(record.Buttons[6].KeyNumber, 4);
  EXPECT_NE(MouseButton(profile, 4), before);
  for (int button : {3, 4, 5, 6}) {
    EXPECT_EQ(MouseButton(profile, button), FileButton(profile, button)) << "button " << button;
  }
}

// The macro cascade's first row opens the macro editor on the macro the button plays; OK assigns
// the macro then shown (Apply takes it to the mouse, playing its slot), and deleting that macro
// in the editor turns the caption into "no function" while the editor is still open.
TEST_F(ConfiguratorTest, TheMacroEditorFromTheMenuAssignsOnOkAndADeletedMacroFallsBackAtOnce) {
  GdiplusSession gdiplus;
  {
    MacroLibrary library(Data());
    ASSERT_EQ(library.CreateMacro(u"Alpha"), 0);
    ASSERT_EQ(library.CreateMacro(u"Beta"), 1);
    Macro beta = library.ReadMacroFile(u"Beta");
    beta.LoopTime = 3;
    ASSERT_TRUE(library.SaveMacro(beta));
  }
  StartAll();
  const int profile = Files().CurrentProfile;

  HWND menu = OpenMenu(4);
  ASSERT_NE(menu, nullptr) << "no menu";
  const HWND cascade = OpenCascade(menu, kMacroRow);
  ASSERT_NE(cascade, nullptr) << "no macro cascade";
  TakeMenuPicture(menu, cascade, L"tuner-macro-menu.png");
  ClickRow(cascade, 0);
  HWND editor = WaitForMacroEditor();
  ASSERT_NE(editor, nullptr) << "no macro editor";
  EXPECT_EQ(SelectedMacroRow(editor), 0) << "a button without a macro shows the first";
  ClickMacroRow(editor, 1);
  EXPECT_TRUE(WaitUntil([&] { return SelectedMacroRow(editor) == 1; }));
  harness::ClickAt(editor, kMacroOk);
  Settle();
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(Caption(4), L"Beta");

  const std::size_t reports = m_mouse->ReportsReceived();
  Click(kApply);
  ASSERT_TRUE(m_mouse->WaitForReports(reports + kFullWriteReports, 10000ms));
  WaitForQuietMouse();
  const ButtonAssignment assigned = Files().Profiles[profile].Buttons[4];
  EXPECT_EQ(assigned.ButtonFunc, kFunctionMacro);
  EXPECT_EQ(assigned.KeyNumber, 1);
  EXPECT_EQ(assigned.LoopNumber, 3) << "the macro's repeat count";
  EXPECT_EQ(MouseButton(profile, 4),
            MacroButtonCode(1, MacroLibrary(Data()).ReadMacroFile(u"Beta")))
      << "the button plays slot 1";

  // Opened again from the same button: the editor shows "Beta". Its delete, answered OK in the
  // warning, turns the caption at once; Leave then changes nothing more.
  menu = OpenMenu(4);
  ClickRow(OpenCascade(menu, kMacroRow), 0);
  editor = WaitForMacroEditor();
  ASSERT_NE(editor, nullptr) << "no macro editor";
  EXPECT_EQ(SelectedMacroRow(editor), 1) << "the button's macro first";
  harness::ClickAt(editor, kMacroDelete);
  const HWND warning = WaitForOwned(editor);
  ASSERT_NE(warning, nullptr) << "no warning";
  EXPECT_EQ(WindowTitle(warning), WarningText(9));
  harness::ClickAt(warning, kWarningOk);
  EXPECT_TRUE(WaitUntil([&] { return Caption(4) == Catalogue(kFunctionNone); }))
      << "the caption while the editor is open: "
      << std::string(Caption(4).begin(), Caption(4).end());
  EXPECT_TRUE(IsWindow(editor));
  harness::ClickAt(editor, kMacroLeave);
  Settle();
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(Caption(4), Catalogue(kFunctionNone));
  const std::size_t before = m_mouse->ReportsReceived();
  Click(kApply);
  ASSERT_TRUE(m_mouse->WaitForReports(before + kFullWriteReports, 10000ms));
  WaitForQuietMouse();
  EXPECT_EQ(Files().Profiles[profile].Buttons[4].ButtonFunc, kFunctionNone);
  EXPECT_EQ(MouseButton(profile, 4), FileButton(profile, 4));
}

// Choices that must not change anything: a key capture window closed with OK before any key,
// and the only primary click given away (the warning appears). Apply then leaves both buttons'
// codes in the mouse as they were.
TEST_F(ConfiguratorTest, AKeyWindowWithoutAKeyAndTheOnlyPrimaryClickKeepTheirFunctions) {
  StartAll();
  const int profile = Files().CurrentProfile;
  const std::wstring right = Caption(1);
  HWND menu = OpenMenu(1);
  ClickRow(menu, kSingleKeyRow);
  const HWND single = WaitForOwned(m_window);
  ASSERT_NE(single, nullptr) << "no key capture window";
  harness::ClickAt(single, kKeyWindowOk);
  Settle();
  EXPECT_FALSE(IsWindow(single));
  EXPECT_EQ(Caption(1), right);

  menu = OpenMenu(0);
  ClickRow(menu, 1);  // the right button's function for the left button
  const HWND warning = WaitForOwned(m_window);
  ASSERT_NE(warning, nullptr) << "no warning";
  EXPECT_EQ(WindowTitle(warning), WarningText(1));
  Click(kWarningOk, warning);
  EXPECT_FALSE(IsWindow(warning));
  EXPECT_EQ(Caption(0), Catalogue(kFunctionMouseButton1));

  const ButtonCode left = MouseButton(profile, 0);
  const ButtonCode second = MouseButton(profile, 1);
  Click(kApply);
  WaitForQuietMouse();
  const ProfileRecord record = Files().Profiles[profile];
  EXPECT_EQ(record.Buttons[0].ButtonFunc, kFunctionMouseButton1);
  EXPECT_EQ(record.Buttons[1].ButtonFunc, 2);
  EXPECT_EQ(MouseButton(profile, 0), left);
  EXPECT_EQ(MouseButton(profile, 1), second);
}

TEST_F(ConfiguratorTest, ResetAllAnsweredCancelChangesNothing) {
  StartAll();
  const std::string files = FileBytes();
  const std::size_t reports = m_mouse->ReportsReceived();
  Click(kResetAll);
  const HWND warning = WaitForDialog();
  ASSERT_NE(warning, nullptr) << "no warning dialog";
  EXPECT_EQ(WindowTitle(warning), WarningText(6));
  Click(kWarningCancel, warning);
  EXPECT_FALSE(IsWindow(warning));
  EXPECT_EQ(FileBytes(), files);
  Sleep(200);
  EXPECT_EQ(m_mouse->ReportsReceived(), reports);
}

TEST_F(ConfiguratorTest, TheAgentsFirstRunOpensItAndAPlugInReloadsIt) {
  // A data folder the agent has never run on: it starts the configurator by itself.
  DeleteFileW(AsWide(MacroLibrary(Data()).IndexPath()));
  ASSERT_NO_FATAL_FAILURE(StartMouseAndAgent());
  m_window = harness::WaitForReadyWindow(kTunerTitle, 20000);
  ASSERT_NE(m_window, nullptr) << "the agent did not open the configurator";
  ASSERT_TRUE(harness::WaitForFile(AsWide(ProfileFilePath(Data(), 5)), 15000));
  WaitForQuietMouse();
  const int profile = Files().CurrentProfile;
  // The factory's 500 reports a second, whether the window loaded before or after the read-back.
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstPolling + 2); }));

  // Unplugged, changed elsewhere, plugged in again: the read-back rewrites the files and the
  // window loads them.
  m_mouse->Detach();
  m_mouse->WithMouse([&](VirtualMouse& mouse) {
    const uint8_t fastest = 1;
    mouse.WriteMemory(PollingRateAddress(profile), std::span(&fastest, 1));
    return 0;
  });
  m_mouse->Attach();
  EXPECT_TRUE(WaitUntil([&] { return Ticked(m_window, tuner_id::kFirstPolling + 3); }));
  EXPECT_FALSE(Ticked(m_window, tuner_id::kFirstPolling + 2));
  EXPECT_EQ(Files().Profiles[profile].PollingRate, 1);
}

// Pictures of the four pages and the warning as the screen shows them (in the test programs'
// folder, for the README): each shaped by the window's outline and drawn, not blank.
TEST_F(ConfiguratorTest, EveryPageAndTheWarningAsTheScreenShowsThem) {
  GdiplusSession gdiplus;
  StartAll();
  auto takePicture = [&](HWND window, const wchar_t* name) {
    SetCursorPos(0, 0);  // no button lit by the pointer
    Sleep(300);
    harness::WindowCapture capture;
    ASSERT_TRUE(harness::CaptureWindow(window, capture)) << name;
    int drawn = 0;
    for (int y = 0; y < capture.height; y += 4) {
      for (int x = 0; x < capture.width; x += 4) drawn += capture.At(x, y) != 0 ? 1 : 0;
    }
    EXPECT_GT(drawn, capture.width * capture.height / 16 * 3 / 4) << name << " is blank";
    EXPECT_TRUE(harness::SaveCaptureAsPng(capture, harness::BinFolder() + name, window)) << name;
  };
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(m_window, region.get()), COMPLEXREGION) << "the mask's outline";
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  for (int page = 1; page <= 4; ++page) {
    Click(Tab(page));
    EXPECT_TRUE(Ticked(m_window, tuner_id::kFirstTab + page - 1)) << page;
    if (page == 3) {
      // Breathing in the preset light blue: the picker shows its shades.
      Click(LightingMode(0));
      Click({107 + 26 * 4 + 12, 300});
    }
    takePicture(m_window, (L"tuner-page-" + std::to_wstring(page) + L".png").c_str());
  }
  Click(kResetAll);
  const HWND warning = WaitForDialog();
  ASSERT_NE(warning, nullptr);
  takePicture(warning, L"tuner-warning.png");
  Click(kWarningCancel, warning);
}

// The configurator without an agent, from a folder whose hid.exe only notes its starts.
TEST(ConfiguratorProcessTest, OneInstanceAndTheAgentStartedOnceWhenMissing) {
  ASSERT_EQ(FindWindowW(nullptr, kAgentTitle), nullptr) << "an agent is already running";
  harness::TempFolder program(L"vireo-tuner-alone");
  harness::TempFolder documents(L"vireo-tuner-alone-documents");
  harness::DocumentsOverride documentsOverride(documents.Path());
  ASSERT_TRUE(harness::InstallConfigurator(program.Path()));
  ASSERT_TRUE(harness::CopyInto(harness::BinFolder() + L"stand_in_program.exe", program.Path(),
                                L"hid.exe"));
  const std::wstring log = program.Path() + L"stand-in-started.log";
  auto starts = [&] {
    const std::string text = harness::ReadFileBytes(log);
    int count = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      ++count;
    }
    return count;
  };

  harness::Process first(program.Path() + L"tuner.exe");
  const HWND window = harness::WaitForReadyWindow(kTunerTitle, 15000);
  ASSERT_NE(window, nullptr);
  // The watchdog starts the agent once, half a second in.
  EXPECT_TRUE(WaitUntil([&] { return starts() == 1; }));
  const std::string line = harness::ReadFileBytes(log);
  EXPECT_NE(line.find("hid.exe"), std::string::npos) << line;

  // A second start ends at once, without a window; the first goes on.
  harness::Process second(program.Path() + L"tuner.exe");
  EXPECT_TRUE(second.WaitExit(10000));
  EXPECT_EQ(harness::CountWindows(kTunerTitle), 1);
  EXPECT_TRUE(first.Running());
  Sleep(1000);
  EXPECT_EQ(starts(), 1);

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));

  // With the agent's window there, nothing is started.
  UniqueWindowHandle agent(CreateWindowExW(0, L"STATIC", kAgentTitle, WS_POPUP, 0, 0, 10, 10,
                                           nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(agent);
  harness::Process third(program.Path() + L"tuner.exe");
  const HWND thirdWindow = harness::WaitForReadyWindow(kTunerTitle, 15000);
  ASSERT_NE(thirdWindow, nullptr);
  harness::PumpMessages(1500);
  EXPECT_EQ(starts(), 1);
  PostMessageW(thirdWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(third.WaitExit(10000));
}

}  // namespace
