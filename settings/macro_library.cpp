#include "settings/macro_library.h"

#include <algorithm>
#include <array>

#include "settings/file_io.h"
#include "settings/folders.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/macro_name.h"
#include "settings/macro_slot_notifier.h"

namespace {

constexpr std::u16string_view kMacroExtension = u".MSMACRO";

constexpr std::u16string_view kListSection = u"MACRO_LIST";
constexpr std::u16string_view kSettingSection = u"Setting";
constexpr std::u16string_view kKeyFilePath = u"MacroFilePath";
constexpr std::u16string_view kKeyLoopTime = u"LoopTime";
constexpr std::u16string_view kKeyDefDelayTime = u"DefDelayTime";
constexpr std::u16string_view kKeyLoopType = u"LoopType";
constexpr std::u16string_view kKeyDelayType = u"DelayType";
constexpr std::u16string_view kKeyCount = u"Count";
constexpr std::u16string_view kKeyBlock0 = u"MacroSetting_0";

constexpr std::u16string_view kReadBackNamePrefix = u"NewMacro ";

// The agent's own keys in the index.
constexpr std::u16string_view kIndexSettingSection = u"Setting";
constexpr std::u16string_view kIndexDeviceKey = u"Device";
constexpr std::u16string_view kIndexFirstOpenKey = u"FirstOpen";
constexpr std::u16string_view kIndexPendingKey = u"Pending";

std::u16string SlotKey(int slot) {
  std::string digits = std::to_string(slot);
  return std::u16string(digits.begin(), digits.end());
}

// First slot 0..14 whose value satisfies `match`, -1 when none.
template <typename Match>
int FirstSlot(const IniDocument& index, Match match) {
  for (int slot = 0; slot < kMacroLibrarySlots; ++slot) {
    if (match(index.GetText(kListSection, SlotKey(slot), u""))) return slot;
  }
  return -1;
}

int FirstFreeSlot(const IniDocument& index) {
  return FirstSlot(index, [](const std::u16string& value) { return value.empty(); });
}

int SlotOfName(const IniDocument& index, std::u16string_view name) {
  if (name.empty()) return -1;
  return FirstSlot(index,
                   [name](const std::u16string& value) { return SameMacroName(value, name); });
}

bool SameFile(std::u16string_view a, std::u16string_view b) {
  auto fold = [](char16_t ch) -> char16_t {
    if (ch == u'/') return u'\\';
    return ch >= u'A' && ch <= u'Z' ? char16_t(ch - u'A' + u'a') : ch;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](auto x, auto y) { return fold(x) == fold(y); });
}

}  // namespace

MacroLibrary::MacroLibrary(std::u16string dataFolder) : m_dataFolder(std::move(dataFolder)) {}

std::u16string MacroLibrary::FolderPath() const {
  return MacroFolderPath(m_dataFolder);
}

std::u16string MacroLibrary::IndexPath() const {
  return MacroLibraryPath(m_dataFolder);
}

std::u16string MacroLibrary::MacroFilePath(std::u16string_view name) const {
  return FolderPath() + std::u16string(name) + std::u16string(kMacroExtension);
}

std::u16string MacroLibrary::SlotName(int slot) const {
  if (slot < 0 || slot >= kMacroDeviceAreas) return {};
  return IniFile(IndexPath()).GetText(kListSection, SlotKey(slot), u"");
}

int MacroLibrary::FindMacroSlot(std::u16string_view name) const {
  return SlotOfName(IniFile(IndexPath()).Load(), name);
}

int MacroLibrary::AddMacroName(std::u16string_view name) {
  if (!IsValidMacroName(name) || !EnsureFolder()) return -1;
  IniFile index(IndexPath());
  IniFile::Transaction transaction(index);
  const int slot = FirstFreeSlot(transaction.Document());
  if (slot < 0) return -1;
  transaction.SetText(kListSection, SlotKey(slot), name);
  m_indexCache.reset();
  return transaction.Commit() ? slot : -1;
}

bool MacroLibrary::RemoveMacroName(std::u16string_view name, MacroSlotNotifier& notifier) {
  IniFile index(IndexPath());
  int slot = -1;
  {
    IniFile::Transaction transaction(index);
    slot = SlotOfName(transaction.Document(), name);
    if (slot < 0) return false;
    transaction.SetText(kListSection, SlotKey(slot), u"");
    m_indexCache.reset();
    // A slot that could not be freed still holds its macro: the mouse keeps it too.
    if (!transaction.Commit()) return false;
  }
  // After the commit (and its lock) is done: the agent reads the index while handling this.
  notifier.MacroSlotChanged(slot, true);
  return true;
}

std::vector<MacroListEntry> MacroLibrary::ListMacroNames() const {
  const IniDocument index = IniFile(IndexPath()).Load();
  std::vector<MacroListEntry> entries;
  for (int slot = 0; slot < kMacroLibrarySlots; ++slot) {
    std::u16string name = index.GetText(kListSection, SlotKey(slot), u"");
    if (!name.empty()) entries.push_back({slot, std::move(name)});
  }
  return entries;
}

bool MacroLibrary::HasFreeSlot() const {
  return FirstFreeSlot(IniFile(IndexPath()).Load()) >= 0;
}

const std::vector<MacroListEntry>& MacroLibrary::CachedMacroNames() const {
  // The stamp is taken before the read: a change in between is seen at the next call.
  std::optional<FileStamp> stamp = FileStampOf(IndexPath());
  if (!m_indexCache || m_indexCache->Stamp != stamp) {
    m_indexCache = IndexCache{std::move(stamp), ListMacroNames()};
  }
  return m_indexCache->Names;
}

std::u16string MacroLibrary::CachedSlotName(int slot) const {
  for (const MacroListEntry& entry : CachedMacroNames()) {
    if (entry.Slot == slot) return entry.Name;
  }
  return {};
}

void MacroLibrary::RecordDeviceState(int state) {
  IniFile(IndexPath()).SetInt(kIndexSettingSection, kIndexDeviceKey, state);
}

bool MacroLibrary::ChangesPending() const {
  return IniFile(IndexPath()).GetInt(kIndexSettingSection, kIndexPendingKey, 0) != 0;
}

void MacroLibrary::SetChangesPending(bool pending) {
  IniFile(IndexPath()).SetInt(kIndexSettingSection, kIndexPendingKey, pending ? 1 : 0);
}

bool MacroLibrary::TakeFirstOpen() {
  IniFile index(IndexPath());
  IniFile::Transaction transaction(index);
  if (transaction.Document().GetInt(kIndexSettingSection, kIndexFirstOpenKey, 0) != 0) return false;
  transaction.SetInt(kIndexSettingSection, kIndexFirstOpenKey, 1);
  transaction.Commit();
  return true;
}

Macro MacroLibrary::ReadMacroFile(std::u16string_view name) const {
  Macro macro;
  if (!IsValidMacroName(name)) {
    macro = ReadMacroFileAt(std::u16string());
  } else {
    macro = ReadMacroFileAt(MacroFilePath(name));
  }
  macro.Name = std::u16string(name);
  return macro;
}

Macro MacroLibrary::ReadMacroFileAt(const std::u16string& path) {
  const IniDocument file = path.empty() ? IniDocument() : IniFile(path).Load();
  Macro macro;
  macro.LoopTime = file.GetInt(kSettingSection, kKeyLoopTime, 1);
  macro.DefDelayTime = file.GetInt(kSettingSection, kKeyDefDelayTime, 1);
  macro.LoopType = file.GetInt(kSettingSection, kKeyLoopType, 0);
  macro.DelayType = file.GetInt(kSettingSection, kKeyDelayType, 2);
  std::array<MacroRecord, kMacroRecordCapacity> records{};
  if (file.GetBlock(kSettingSection, kKeyBlock0, records.data(), kMacroBlockSize)) {
    macro.Records = records;
    macro.Count = std::clamp(file.GetInt(kSettingSection, kKeyCount, 0), 0, kMacroRecordCapacity);
  } else {
    // Without its block the macro is empty, whatever "Count" claims.
    macro.Count = 0;
  }
  return macro;
}

bool MacroLibrary::WriteMacroFile(const std::u16string& path, const Macro& macro) {
  const int count = std::clamp(macro.Count, 0, kMacroRecordCapacity);
  IniFile file(path);
  IniFile::Transaction transaction(file);
  transaction.SetText(kSettingSection, kKeyFilePath, path);
  transaction.SetInt(kSettingSection, kKeyLoopTime, macro.LoopTime);
  transaction.SetInt(kSettingSection, kKeyDefDelayTime, macro.DefDelayTime);
  transaction.SetInt(kSettingSection, kKeyLoopType, macro.LoopType);
  transaction.SetInt(kSettingSection, kKeyDelayType, macro.DelayType);
  transaction.SetInt(kSettingSection, kKeyCount, count);
  // Blocks 0 .. Count/1000: with at most 63 records that is block 0 alone.
  transaction.SetBlock(kSettingSection, kKeyBlock0, macro.Records.data(), kMacroBlockSize);
  return transaction.Commit();
}

bool MacroLibrary::SaveMacro(const Macro& macro) {
  if (!IsValidMacroName(macro.Name) || !EnsureFolder()) return false;
  return WriteMacroFile(MacroFilePath(macro.Name), macro);
}

MacroSlotResult MacroLibrary::NewMacro(std::u16string_view name) {
  if (!IsValidMacroName(name)) return {-1, MacroRefusal::kInvalidName};
  const std::u16string path = MacroFilePath(name);
  if (FileExists(path)) return {-1, MacroRefusal::kNameExists};
  // A name left in the index without its file keeps its slot rather than taking a second one.
  int slot = FindMacroSlot(name);
  if (slot >= 0 && FileExists(MacroFilePath(SlotName(slot)))) {
    return {-1, MacroRefusal::kNameExists};  // the same in other case
  }
  if (slot < 0 && !HasFreeSlot()) return {-1, MacroRefusal::kLibraryFull};
  if (!EnsureFolder()) return {-1, MacroRefusal::kFileError};
  Macro macro;
  macro.Name = std::u16string(name);
  if (!WriteMacroFile(path, macro)) return {-1, MacroRefusal::kFileError};
  if (slot < 0) slot = AddMacroName(name);
  if (slot < 0) return {-1, MacroRefusal::kFileError};
  return {slot, MacroRefusal::kNone};
}

bool MacroLibrary::DeleteMacro(std::u16string_view name, MacroSlotNotifier& notifier) {
  // Only a valid name can name a file inside the macro folder.
  const bool deleted = IsValidMacroName(name) && RemoveFile(MacroFilePath(name));
  const bool removed = RemoveMacroName(name, notifier);
  return deleted || removed;
}

MacroSlotResult MacroLibrary::ImportMacroFile(const std::u16string& sourcePath,
                                              MacroSlotNotifier& notifier) {
  const std::u16string name = MacroNameOfFile(sourcePath);
  if (!IsValidMacroName(name)) return {-1, MacroRefusal::kInvalidName};
  if (!FileExists(sourcePath)) return {-1, MacroRefusal::kNoSource};
  const int existingSlot = FindMacroSlot(name);
  if (existingSlot < 0 && !HasFreeSlot()) return {-1, MacroRefusal::kLibraryFull};
  if (!EnsureFolder()) return {-1, MacroRefusal::kFileError};
  // "foo" over "Foo" replaces the macro "Foo": its slot, its name and its file.
  const std::u16string existingName = existingSlot >= 0 ? SlotName(existingSlot) : name;
  const std::u16string target = MacroFilePath(IsValidMacroName(existingName) ? existingName : name);
  if (!SameFile(sourcePath, target) && !CopyFileReplacing(sourcePath, target)) {
    return {-1, MacroRefusal::kFileError};
  }
  if (existingSlot >= 0) {
    // The slot keeps its number but holds a different macro now: the mouse must get it.
    notifier.MacroSlotChanged(existingSlot, false);
    return {existingSlot, MacroRefusal::kNone};
  }
  const int slot = AddMacroName(name);
  return {slot, slot >= 0 ? MacroRefusal::kNone : MacroRefusal::kFileError};
}

bool MacroLibrary::ExportMacro(const Macro& macro, const std::u16string& exportPath) {
  return WriteMacroFile(exportPath, macro);
}

bool MacroLibrary::StoreReadBackMacro(int area, std::span<const std::uint8_t> areaBytes) {
  if (area < 0 || area >= kMacroDeviceAreas) return false;
  std::vector<std::vector<std::uint8_t>> areas(static_cast<std::size_t>(area) + 1);
  areas.back().assign(areaBytes.begin(), areaBytes.end());
  return StoreReadBackMacros(areas) > 0;
}

int MacroLibrary::StoreReadBackMacros(std::span<const std::vector<std::uint8_t>> areas) {
  std::array<int, kMacroDeviceAreas> counts{};
  bool any = false;
  for (std::size_t area = 0; area < areas.size() && area < counts.size(); ++area) {
    counts[area] = CountAreaRecords(areas[area]);
    any = any || counts[area] > 0;
  }
  // Empty areas leave the library as it is.
  if (!any || !EnsureFolder()) return 0;

  // One lock for the index and the files: the configurator sees all of the read-back or none.
  CommitLock lock;
  std::array<std::u16string, kMacroDeviceAreas> names;
  {
    IniFile index(IndexPath());
    IniFile::Transaction transaction(index);
    for (int area = 0; area < kMacroDeviceAreas; ++area) {
      if (counts[area] == 0) continue;
      names[area] = transaction.Document().GetText(kListSection, SlotKey(area), u"");
      if (names[area].empty()) {
        names[area] = std::u16string(kReadBackNamePrefix) + SlotKey(area);
        transaction.SetText(kListSection, SlotKey(area), names[area]);
        m_indexCache.reset();
      }
    }
    if (!transaction.Commit()) return 0;
  }

  int written = 0;
  for (int area = 0; area < kMacroDeviceAreas; ++area) {
    // A name that would leave the macro folder (a hand-edited index) is not written to.
    if (counts[area] == 0 || !IsValidMacroName(names[area])) continue;
    // The records end where the mouse's list ends; what follows in the area is not a record,
    // and every reader expects zeros after the last used one.
    std::array<MacroRecord, kMacroRecordCapacity> records{};
    std::copy_n(areas[area].begin(), static_cast<std::size_t>(counts[area]) * sizeof(MacroRecord),
                reinterpret_cast<std::uint8_t*>(records.data()));
    const std::u16string path = MacroFilePath(names[area]);
    IniFile file(path);
    IniFile::Transaction transaction(file);
    transaction.SetText(kSettingSection, kKeyFilePath, path);
    transaction.SetInt(kSettingSection, kKeyCount, counts[area]);
    transaction.SetBlock(kSettingSection, kKeyBlock0, records.data(), kMacroBlockSize);
    written += transaction.Commit() ? 1 : 0;
  }
  return written;
}

bool MacroLibrary::EnsureFolder() const {
  const std::u16string folder = FolderPath();
  if (FolderExists(folder)) return true;
  // The configurator may run before the agent ever made the data folder.
  if (!m_dataFolder.empty() && !FolderExists(m_dataFolder) && !CreateFolder(m_dataFolder)) {
    return false;
  }
  return CreateFolder(folder);
}

std::u16string MacroNameOfFile(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  std::u16string_view file =
      separator == std::u16string_view::npos ? path : path.substr(separator + 1);
  const std::size_t dot = file.rfind(u'.');
  if (dot != std::u16string_view::npos) file = file.substr(0, dot);
  return std::u16string(file);
}
