// ApplyChoice and the assignment menus: what every kind of choice stores (through scripted key,
// rapid-fire and macro-editor windows), the primary-click protection, which choices are not
// ones a menu offers, the rows of both menus and where a menu opens at the screen's edges.
#include "configurator/assign_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "configurator/assign_menu.h"
#include "settings/button_functions.h"
#include "settings/macro.h"
#include "settings/macro_library.h"
#include "settings/macro_slot_notifier.h"
#include "settings/skin_texts.h"
#include "settings/utf8.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// Windows that answer as scripted and note what they were opened with.
class ScriptedWindows : public ChoiceWindows {
 public:
  std::optional<CapturedKeys> CaptureKeys(KeyCapture::Mode mode,
                                          const CapturedKeys& preset) override {
    opened.push_back(mode == KeyCapture::Mode::kSingleKey ? "single" : "combination");
    keyPreset = preset;
    return keys;
  }
  std::optional<FireKey::Setup> SetUpFireKey(const FireKey::Setup& preset) override {
    opened.push_back("fire");
    firePreset = preset;
    return fire;
  }
  std::optional<int> EditMacro(int shownSlot) override {
    opened.push_back("editor");
    editorShown = shownSlot;
    return editedSlot;
  }
  void WarnPrimaryClick() override { opened.push_back("warning"); }

  std::optional<CapturedKeys> keys;
  std::optional<FireKey::Setup> fire;
  std::optional<int> editedSlot;
  int editorShown = -2;
  std::vector<std::string> opened;
  CapturedKeys keyPreset;
  FireKey::Setup firePreset;
};

CapturedKeys Keys(int count, std::uint8_t key, std::initializer_list<std::uint8_t> block = {}) {
  CapturedKeys keys;
  keys.keyCount = count;
  keys.key = key;
  std::copy(block.begin(), block.end(), keys.block.begin());
  return keys;
}

class AssignChoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_root / "images" / "0409" / "strings");
    std::ofstream(m_root / "images" / "0409" / "strings" / "general.ini", std::ios::binary)
        << "[FUNCTION_STRING]\r\n1=Left\r\n8=Basic\r\n100=Macro\r\n[BASIC]\r\n1=Cut\r\n"
           "[MACRO]\r\n1=Edit macros\r\n";
    fs::create_directories(m_root / "MacroDB");
    // Macros in slots 0 and 2 (slot 1 freed), repeated 4 and 300 times.
    for (const char16_t* name : {u"Reload", u"Gap", u"Quick chat"}) m_macros.CreateMacro(name);
    Macro reload = m_macros.ReadMacroFile(u"Reload");
    reload.LoopTime = 4;
    m_macros.SaveMacro(reload);
    Macro chat = m_macros.ReadMacroFile(u"Quick chat");
    chat.LoopTime = 300;
    m_macros.SaveMacro(chat);
    NoSlots notifier;
    m_macros.DeleteMacro(u"Gap", notifier);
    ApplyFactoryDefaults(m_set, 0);
  }
  void TearDown() override { fs::remove_all(m_root); }

  struct NoSlots : MacroSlotNotifier {
    void MacroSlotChanged(int, bool) override {}
  };

  ChoiceOutcome Choose(int button, int code, int sub = 0) {
    return ApplyChoice(Record(), button, code, sub, m_windows, m_macros);
  }
  ProfileRecord& Record() { return m_set.Profiles[0]; }
  ButtonAssignment& Button(int b) { return Record().Buttons[b]; }

  fs::path m_root = NewScratchFolder("assign");
  std::u16string Folder() const { return Utf8ToUtf16(m_root.string()) + u"/"; }
  MacroLibrary m_macros{Folder()};
  SkinTexts m_texts{Folder()};
  ProfileSet m_set{};
  ScriptedWindows m_windows;
};

TEST_F(AssignChoiceTest, EveryKindStoresWhatItsWindowGaveAndCancelKeepsTheFunction) {
  // Cascade rows store the function itself, not the row that opened the cascade.
  EXPECT_EQ(Choose(4, 8, 17), ChoiceOutcome::kChanged);
  EXPECT_EQ(Button(4).ButtonFunc, 17);
  Choose(4, 13, 48);
  EXPECT_EQ(Button(4).ButtonFunc, 48);
  Choose(4, 16);
  EXPECT_EQ(Button(4).ButtonFunc, kFunctionNone);

  // Single key: the key; a key without a usage gives the button its own default (button 7: 0x30).
  m_windows.keys = Keys(1, 0x04);
  Choose(6, kFunctionSingleKey);
  EXPECT_EQ(Button(6).ButtonFunc, kFunctionSingleKey);
  EXPECT_EQ(Button(6).KeyBlock[0], 0x04);
  m_windows.keys = Keys(1, CapturedKeys::kNoKey);
  Choose(6, kFunctionSingleKey);
  EXPECT_EQ(Button(6).ButtonFunc, 0x30);

  // Combination: Ctrl+C; one key is a single key; none is the default; Cancel changes nothing.
  m_windows.keys = Keys(2, 0x06, {0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0, 0xE0, 5, 0});
  Choose(5, kFunctionKeyCombination);
  EXPECT_EQ(Button(5).ButtonFunc, kFunctionKeyCombination);
  EXPECT_EQ(Button(5).ButtonID, 1);
  EXPECT_EQ(Button(5).KeyNumber, 4);
  EXPECT_EQ(Button(5).KeyBlock[9], 0xE0);
  m_windows.keys.reset();
  EXPECT_EQ(Choose(5, kFunctionKeyCombination), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(m_windows.keyPreset.keyCount, 2) << "the window starts from the combination";
  EXPECT_EQ(Button(5).ButtonFunc, kFunctionKeyCombination);
  m_windows.keys = Keys(1, 0x2C);
  Choose(5, kFunctionKeyCombination);
  EXPECT_EQ(Button(5).ButtonFunc, kFunctionSingleKey);
  EXPECT_EQ(Button(5).KeyBlock[0], 0x2C);
  m_windows.keys = Keys(0, CapturedKeys::kNoKey);
  Choose(5, kFunctionKeyCombination);
  EXPECT_EQ(Button(5).ButtonFunc, 6) << "button 6's default";

  // Rapid fire: the right button with 5 and 20; the keyboard kind without a key fires nothing.
  m_windows.fire = FireKey::Setup{kFireMouseButton2, 5, 20};
  Choose(3, kFunctionFireKey);
  EXPECT_EQ(Button(3).ButtonFunc, kFunctionFireKey);
  EXPECT_EQ(Button(3).KeyBlock[0], kFireMouseButton2);
  EXPECT_EQ(Button(3).LoopNumber, 5);
  EXPECT_EQ(Button(3).KeyNumber, 20);
  m_windows.fire = FireKey::Setup{CapturedKeys::kNoKey, 9, 9};
  EXPECT_EQ(Choose(3, kFunctionFireKey), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(m_windows.firePreset.loopNumber, 5) << "the window starts from the rapid fire";

  // Macros by library slot: slot 2 behind the gap, its repeat count held to a byte's 255.
  Choose(7, kFunctionMacro, 2);
  EXPECT_EQ(Button(7).ButtonFunc, kFunctionMacro);
  EXPECT_EQ(Button(7).KeyNumber, 2);
  EXPECT_EQ(Button(7).LoopNumber, 255);
  // The editor's row: it opens on the macro the button plays (none for another function); what
  // the editor chose, "no function" for none, nothing when cancelled.
  m_windows.editedSlot = 0;
  Choose(7, kFunctionMacro, assign_menu::kMacroEditorRow);
  EXPECT_EQ(m_windows.editorShown, 2);
  EXPECT_EQ(Button(7).KeyNumber, 0);
  EXPECT_EQ(Button(7).LoopNumber, 4);
  Choose(6, kFunctionMacro, assign_menu::kMacroEditorRow);
  EXPECT_EQ(m_windows.editorShown, -1);
  m_windows.editedSlot.reset();
  EXPECT_EQ(Choose(7, kFunctionMacro, assign_menu::kMacroEditorRow), ChoiceOutcome::kUnchanged);
  m_windows.editedSlot = ChoiceWindows::kNoMacro;
  Choose(7, kFunctionMacro, assign_menu::kMacroEditorRow);
  EXPECT_EQ(Button(7).ButtonFunc, kFunctionNone);

  // Words no menu posts change nothing: code 11, a row's cascade code from another cascade, a
  // macro slot past the library, a button past the ten.
  const ProfileRecord before = Record();
  EXPECT_EQ(Choose(4, 11), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(Choose(4, 8, 30), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(Choose(4, kFunctionMacro, 15), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(Choose(10, 2), ChoiceOutcome::kUnchanged);
  EXPECT_EQ(std::memcmp(&before, &Record(), sizeof(before)), 0);
}

TEST_F(AssignChoiceTest, TheOnlyPrimaryClickIsRefusedWithTheWarningAndNothingChanges) {
  const ProfileRecord before = Record();
  m_windows.keys = Keys(1, 0x04);
  EXPECT_EQ(Choose(0, kFunctionSingleKey), ChoiceOutcome::kRefused);
  EXPECT_EQ(m_windows.opened, std::vector<std::string>{"warning"}) << "no key window opened";
  EXPECT_EQ(Choose(0, 8, 17), ChoiceOutcome::kRefused);
  m_windows.opened.clear();
  EXPECT_EQ(Choose(0, kFunctionMouseButton1), ChoiceOutcome::kUnchanged);
  EXPECT_TRUE(m_windows.opened.empty()) << "the primary click again is no refusal";
  EXPECT_EQ(std::memcmp(&before, &Record(), sizeof(before)), 0);

  // With a second primary click the first may go; then the second is the only one.
  Choose(1, kFunctionMouseButton1);
  EXPECT_EQ(Choose(0, 2), ChoiceOutcome::kChanged);
  EXPECT_EQ(Choose(1, 3), ChoiceOutcome::kRefused);

  // A profile without any primary click (an import) takes every choice, code 1 included.
  for (ButtonAssignment& b : Record().Buttons) b.ButtonFunc = kFunctionNone;
  EXPECT_EQ(Choose(2, 5), ChoiceOutcome::kChanged);
  EXPECT_EQ(Choose(3, kFunctionMouseButton1), ChoiceOutcome::kChanged);
  EXPECT_EQ(Button(3).ButtonFunc, kFunctionMouseButton1);
}

TEST_F(AssignChoiceTest, MenusNameTheCatalogueAndMacroRowsCarryLibrarySlots) {
  const std::vector<tagBMPMENUINFO> full = assign_menu::Rows(0, m_texts, m_macros.ListMacroNames());
  std::vector<int> ids;
  for (const tagBMPMENUINFO& row : full) ids.push_back(row.id);
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 12, 13, 14, 15, 54, 16}));
  EXPECT_EQ(full[0].Text(), u"Left");
  EXPECT_EQ(full[7].subItems.size(), 8u);
  EXPECT_EQ(full[7].subItems[0].Text(), u"Cut");
  const std::vector<tagBMPMENUINFO>& macros = full[10].subItems;
  ASSERT_EQ(macros.size(), 3u);
  EXPECT_EQ(macros[0].Text(), u"Edit macros");
  EXPECT_EQ(macros[0].id, assign_menu::kMacroEditorRow);
  EXPECT_EQ(macros[2].Text(), u"Quick chat");
  EXPECT_EQ(macros[2].id, 2) << "the slot, not the row's number";

  const std::vector<tagBMPMENUINFO> wheel = assign_menu::Rows(9, m_texts, {});
  EXPECT_EQ(wheel.size(), 11u);
  EXPECT_TRUE(std::none_of(wheel.begin(), wheel.end(),
                           [](const tagBMPMENUINFO& row) { return row.hasSubItems != 0; }));
  EXPECT_TRUE(assign_menu::Offers(43, 0));
  EXPECT_FALSE(assign_menu::Offers(43, 1));

  // Under the button; above it at the bottom edge; moved in at the right edge.
  const MenuRect screen{0, 0, 1280, 800};
  const MenuRowSize menu{170, 340};
  EXPECT_EQ(assign_menu::Place({300, 200, 447, 220}, menu, screen), (MenuRect{300, 220, 470, 560}));
  EXPECT_EQ(assign_menu::Place({300, 600, 447, 620}, menu, screen), (MenuRect{300, 260, 470, 600}));
  EXPECT_EQ(assign_menu::Place({1200, 100, 1347, 120}, menu, screen),
            (MenuRect{1110, 120, 1280, 460}));
}

}  // namespace
