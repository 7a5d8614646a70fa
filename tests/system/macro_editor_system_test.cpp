// The macro editor in this process, run modally as the configurator runs it, against hid.exe
// with the virtual mouse attached: keys recorded through Snare.dll from injected input, the
// delay editor and the macro list used with the real pointer, the system's file dialog and the
// warning answered. Each test checks the macro files and the mouse's macro areas, which follow
// the editor through the agent.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <dlgs.h>

#include <memory>
#include <string>
#include <vector>

#include "configurator/macro_ids.h"
#include "configurator/win32/macro_dlg.h"
#include "contract/mouse_map.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/folders.h"
#include "settings/macro_library.h"
#include "support/modal_script.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "support/user_input.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/gdiplus_session.h"
#include "win/text.h"

namespace {

using Records = std::vector<MacroRecord>;
using harness::ModalScript;
using namespace macro_dlg_id;

constexpr std::uint8_t kUsageA = 0x04, kUsageB = 0x05, kUsageC = 0x06, kUsageLeftShift = 0xE1;

MacroRecord Press(std::uint8_t usage) {
  return KeyRecord(usage, true);
}
MacroRecord Release(std::uint8_t usage) {
  return KeyRecord(usage, false);
}
MacroRecord Delay(int units) {
  return *DelayRecord(units * 10);
}

void Click(const Dialog& window, int id) {
  ::SendMessageW(::GetDlgItem(window.Hwnd(), id), BM_CLICK, 0, 0);
}

// The dialog this thread shows over `owner` (a file dialog, a warning), once it is up.
HWND DialogOver(const Dialog& owner) {
  const HWND popup = ::GetLastActivePopup(owner.Hwnd());
  return popup != owner.Hwnd() && ::IsWindowVisible(popup) ? popup : nullptr;
}

class MacroEditorSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_gdiplus.Started());
    ASSERT_EQ(::FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr)
        << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    // The editor takes Snare.dll and the skin from beside the tests, and shares the agent's data.
    SetProcessFolders(ToU16(harness::BinFolder()), Data());
    ASSERT_TRUE(m_mouse.Start());
    ::SetEnvironmentVariableW(L"VIREO_VMOUSE",
                              (L"127.0.0.1:" + std::to_wstring(m_mouse.Port())).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    ASSERT_TRUE(m_agent->Started());
    ASSERT_NE(harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 15000),
              nullptr);
    // The read-back of the attach is over: from now on the agent writes what it is told.
    ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten));
  }

  void TearDown() override {
    if (const HWND agent = ::FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      ::PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 5000);
    }
    ::SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  std::u16string Data() const { return ToU16(m_documents.Path()) + u"Vireo Gaming Mouse\\"; }

  // A macro of the library, as the editor would have saved it (fixed delays, shown).
  void AddMacro(const std::u16string& name, const Records& records) {
    MacroLibrary library(Data());
    ASSERT_GE(library.CreateMacro(name), 0);
    Macro macro = library.ReadMacroFile(name);
    for (const MacroRecord& record : records) ASSERT_TRUE(macro.Append(record));
    ASSERT_TRUE(library.SaveMacro(macro));
  }

  Records FileRecords(const std::u16string& name) const {
    const Macro macro = MacroLibrary(Data()).ReadMacroFile(name);
    const auto stored = macro.StoredRecords();
    return {stored.begin(), stored.end()};
  }

  // The records of the mouse's macro area, up to the first empty one.
  Records AreaRecords(int area) const {
    const std::vector<std::uint8_t> bytes =
        m_mouse.ReadMemory(device_map::MacroAreaAddress(area), device_map::kMacroAreaSize);
    Records records;
    for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
      const MacroRecord record{bytes[i], bytes[i + 1], bytes[i + 2]};
      if (IsEmptyRecord(record)) break;
      records.push_back(record);
    }
    return records;
  }

  // The area once it holds `expected` (the agent answers before the mouse has taken every
  // report), or as it is after a few seconds.
  Records WaitForArea(int area, const Records& expected) const {
    Records now = AreaRecords(area);
    for (int i = 0; i < 100 && now != expected; ++i) {
      ::Sleep(50);
      now = AreaRecords(area);
    }
    return now;
  }

  GdiplusSession m_gdiplus;
  harness::TempFolder m_program{L"vireo-macro-program"};
  harness::TempFolder m_documents{L"vireo-macro-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  harness::StandInConfigurator m_configurator;
  VirtualMouseServer m_mouse;
  std::unique_ptr<harness::Process> m_agent;
};

TEST_F(MacroEditorSystemTest, ShiftAAsTypedIsRecordedIntoTheFileAndTheMouse) {
  AddMacro(u"Other", {Press(kUsageB), Release(kUsageB)});
  AddMacro(u"Shout", {Press(kUsageB), Release(kUsageB)});  // replaced by the recording
  // Opened as a button playing slot 1 opens it: that macro is shown first.
  CMacroDlg editor(1);
  bool recordingShown = false;
  ModalScript script(
      editor, {[&] { Click(editor, kRecord); },
               [&] {
                 recordingShown = editor.Editor().Recording() && editor.Editor().RowCount() == 0 &&
                                  ::IsWindowEnabled(::GetDlgItem(editor.Hwnd(), kStop));
                 harness::SendVirtualKey(VK_LSHIFT, false);
                 harness::TypeVirtualKeys(L"A");
                 harness::SendVirtualKey(VK_LSHIFT, true);
               },
               [&] { return editor.Editor().RowCount() == 7; }, [&] { Click(editor, kStop); },
               [&] { ::PostMessageW(editor.Hwnd(), WM_COMMAND, IDOK, 0); }});
  ASSERT_EQ(editor.DoModal(m_configurator.Hwnd()), CMacroDlg::kResultOk)
      << "step " << script.StepReached();
  EXPECT_TRUE(recordingShown);
  // A new macro records fixed delays of 10 ms, shown: one between each two events.
  const Records expected{Press(kUsageLeftShift), Delay(1), Press(kUsageA),          Delay(1),
                         Release(kUsageA),       Delay(1), Release(kUsageLeftShift)};
  EXPECT_EQ(FileRecords(u"Shout"), expected);
  // Stop told the agent (0x1514 with the slot), and the agent wrote that area alone.
  EXPECT_EQ(WaitForArea(1, expected), expected);
  EXPECT_TRUE(AreaRecords(0).empty());
  // OK gives the caller the macro shown.
  EXPECT_EQ(editor.Selected().Name, u"Shout");
  EXPECT_EQ(editor.Selected().Slot, 1);
}

TEST_F(MacroEditorSystemTest, ADelayTypedWhileAnotherMacroIsChosenStaysInItsOwnMacro) {
  AddMacro(u"First", {Press(kUsageA), Delay(5), Release(kUsageA)});
  AddMacro(u"Second", {Press(kUsageB), Delay(7), Release(kUsageB)});
  const std::string secondFile =
      harness::ReadFileBytes(AsWide(MacroLibrary(Data()).MacroFilePath(u"Second").c_str()));
  CMacroDlg editor;
  const auto list = [&](int id) { return ::GetDlgItem(editor.Hwnd(), id); };
  ModalScript script(editor,
                     {[&] { return editor.Editor().RowCount() == 3; },
                      // The delay row of "First", edited in place: a double click opens the field.
                      [&] {
                        harness::ClickWithPointer(list(kRecordList),
                                                  harness::ListRowPoint(list(kRecordList), 1), 2);
                      },
                      // The field is the record list's child and has the focus.
                      [&] { return ::GetParent(::GetFocus()) == list(kRecordList); },
                      [&] { harness::TypeVirtualKeys(L"999"); },
                      // "Second" is chosen while the field is still open.
                      [&] {
                        harness::ClickWithPointer(list(kMacroList),
                                                  harness::ListRowPoint(list(kMacroList), 1));
                      },
                      [&] { return editor.Selected().Name == u"Second"; }});
  ASSERT_EQ(editor.DoModal(), CMacroDlg::kResultLeave) << "step " << script.StepReached();
  ASSERT_TRUE(script.Finished()) << "step " << script.StepReached();
  // The typed delay went into the row it was typed in, of "First", and the mouse has it.
  const Records first{Press(kUsageA), Delay(99), Release(kUsageA)};
  EXPECT_EQ(FileRecords(u"First"), first);
  EXPECT_EQ(WaitForArea(0, first), first);
  // "Second" was neither written nor sent.
  EXPECT_EQ(harness::ReadFileBytes(AsWide(MacroLibrary(Data()).MacroFilePath(u"Second").c_str())),
            secondFile);
  EXPECT_TRUE(AreaRecords(1).empty());
}

TEST_F(MacroEditorSystemTest, AnImportReplacesAMacroOfItsNameInItsSlotAndADeleteClearsTheArea) {
  AddMacro(u"Alpha", {Press(kUsageA), Release(kUsageA)});
  AddMacro(u"Beta", {Press(kUsageB), Release(kUsageB)});
  harness::TempFolder exchange(L"vireo-macro-exchange");
  // The name in other case is the same macro, as the file system sees it.
  const std::u16string exchangeFile = ToU16(exchange.Path()) + u"beta.MSDB";
  const Records imported{Press(kUsageC), Delay(3), Release(kUsageC)};
  Macro incoming;
  for (const MacroRecord& record : imported) incoming.Append(record);
  ASSERT_TRUE(MacroLibrary::ExportMacro(incoming, exchangeFile));

  CMacroDlg editor;
  Records importedArea;
  int slotAfterImport = -1, rowsAfterImport = -1;
  ModalScript script(
      editor, {[&] { Click(editor, kImport); },
               // The system's open-file dialog: the file typed into its name field, then Open.
               [&] {
                 const HWND dialog = DialogOver(editor);
                 if (dialog == nullptr) return false;
                 ::SetDlgItemTextW(dialog, cmb13, AsWide(exchangeFile.c_str()));
                 ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                 return true;
               },
               [&] { return editor.Editor().RowCount() == 3; },
               // The agent was told to write the slot again.
               [&] {
                 importedArea = AreaRecords(1);
                 return importedArea == imported;
               },
               [&] {
                 slotAfterImport = editor.Selected().Slot;
                 rowsAfterImport = static_cast<int>(MacroLibrary(Data()).ListMacroNames().size());
                 Click(editor, kDelete);
               },
               // The warning asks first.
               [&] {
                 const HWND warning = DialogOver(editor);
                 if (warning == nullptr) return false;
                 ::PostMessageW(warning, WM_COMMAND, IDOK, 0);
                 return true;
               },
               [&] { return editor.Selected().Name == u"Alpha"; }});
  ASSERT_EQ(editor.DoModal(m_configurator.Hwnd()), CMacroDlg::kResultLeave)
      << "step " << script.StepReached();
  EXPECT_EQ(importedArea, imported);
  ASSERT_TRUE(script.Finished()) << "step " << script.StepReached();
  EXPECT_EQ(slotAfterImport, 1);
  EXPECT_EQ(rowsAfterImport, 2);
  // The delete freed the slot and the file, cleared the area and told the main window.
  const MacroLibrary library(Data());
  EXPECT_EQ(library.ListMacroNames(), (std::vector<MacroListEntry>{{0, u"Alpha"}}));
  EXPECT_EQ(::GetFileAttributesW(AsWide(library.MacroFilePath(u"Beta").c_str())),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(WaitForArea(1, {}), Records{});
  harness::PumpMessages(100);  // the post, should it still wait
  EXPECT_EQ(m_configurator.MacroDeletions(), 1);
}

}  // namespace
