#pragma once
// MacroLibrary: the macro files below one data folder. The index "MacroDB\MacroSet.MSDB" maps
// the library's 15 slots (section "MACRO_LIST", keys "0".."14") to macro names, and each
// macro lives in "MacroDB\<name>.MSMACRO". Slot n is macro area n in the mouse; the agent's
// read-back may also use the keys "15".."19".
//
// Every operation that takes a name refuses one that IsValidMacroName rejects before any file
// is touched. Every write is one atomic commit of the file it changes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contract/mouse_map.h"
#include "settings/file_io.h"
#include "settings/macro.h"

class MacroSlotNotifier;

inline constexpr int kMacroLibrarySlots = 15;
inline constexpr int kMacroDeviceAreas = device_map::kMouseMacroAreaCount;

struct MacroListEntry {
  int Slot;
  std::u16string Name;
  friend bool operator==(const MacroListEntry&, const MacroListEntry&) = default;
};

// Why the library refused to create or import a macro.
enum class MacroRefusal {
  kNone,
  kInvalidName,  // the name fails IsValidMacroName
  kNameExists,   // a macro of that name (in any case) has its file already
  kLibraryFull,  // all 15 slots are taken
  kNoSource,     // the file to import is missing
  kFileError,    // a file could not be written or copied
};

// A slot taken or reused, or why there is none.
struct MacroSlotResult {
  int Slot = -1;
  MacroRefusal Refusal = MacroRefusal::kNone;
  bool Ok() const noexcept { return Refusal == MacroRefusal::kNone; }
};

class MacroLibrary {
 public:
  // `dataFolder` ends in a path separator.
  explicit MacroLibrary(std::u16string dataFolder);

  std::u16string FolderPath() const;  // "<data>MacroDB\"
  std::u16string IndexPath() const;   // "<data>MacroDB\MacroSet.MSDB"
  std::u16string MacroFilePath(std::u16string_view name) const;

  // --- the index ---

  // The name held by slot 0..19, "" when free or out of range.
  std::u16string SlotName(int slot) const;
  // First slot 0..14 holding this name in any case; -1 when none (an empty name is never found).
  int FindMacroSlot(std::u16string_view name) const;
  // Writes the name into the first free slot and returns it; -1 when all 15 are taken or the
  // name is invalid. It does not look for the name itself: callers check uniqueness first.
  int AddMacroName(std::u16string_view name);
  // Frees the first slot holding the name and tells the agent that slot's macro was removed.
  // Returns false, writing and sending nothing, when no slot holds the name.
  bool RemoveMacroName(std::u16string_view name, MacroSlotNotifier& notifier);
  // The used slots 0..14 in slot order (row numbers differ from slots once a lower one is free).
  std::vector<MacroListEntry> ListMacroNames() const;
  bool HasFreeSlot() const;

  // ListMacroNames for menus and lists that ask often: the index is read again only when it
  // changed on disk (another program wrote it) or this library wrote it; otherwise the names
  // come from memory. For one thread; the reference is valid until the next call.
  const std::vector<MacroListEntry>& CachedMacroNames() const;
  // The cached name of slot 0..14, "" when free or out of range.
  std::u16string CachedSlotName(int slot) const;

  // --- the agent's keys ---

  // Section "Setting" of the index. "Device": 1 when a mouse is (or can be) reached, else 0.
  // Nothing reads it back.
  void RecordDeviceState(int state);
  // "FirstOpen": true the first time this is asked for the data folder; it is then set to 1
  // in the same commit, so two quick starts cannot both see a first run.
  bool TakeFirstOpen();
  // "Pending": the files hold changes the mouse has not got yet (D40).
  bool ChangesPending() const;
  void SetChangesPending(bool pending);

  // --- macro files ---

  // Reads the macro file of that name with the readers' defaults ("LoopTime" 1,
  // "DefDelayTime" 1, "LoopType" 0, "DelayType" 2, "Count" 0). A missing or damaged record
  // block reads as an empty macro; "Count" is kept within 0..63.
  Macro ReadMacroFile(std::u16string_view name) const;
  static Macro ReadMacroFileAt(const std::u16string& path);

  // Writes "MacroFilePath" (= path), "LoopTime", "DefDelayTime", "LoopType", "DelayType",
  // "Count" and the record block "MacroSetting_0", in this order, in one commit. Other keys of
  // an existing file stay. Returns false when the file could not be written.
  static bool WriteMacroFile(const std::u16string& path, const Macro& macro);
  // WriteMacroFile of the macro's own file in the library.
  bool SaveMacro(const Macro& macro);

  // A new, empty macro: refused (-1) when the name is invalid, its file exists already or no
  // slot is free; otherwise the file is written and the slot (a new one, or the one that
  // already names it) returned.
  int CreateMacro(std::u16string_view name) { return NewMacro(name).Slot; }
  // The same, telling why a macro was not created.
  MacroSlotResult NewMacro(std::u16string_view name);
  // Deletes the macro's file and frees its slot (telling the agent). A name that fails the name
  // rule (a hand-edited index) only frees its slot: its file is not touched. False when no
  // file was deleted and no slot freed.
  bool DeleteMacro(std::u16string_view name, MacroSlotNotifier& notifier);
  // Copies an exchange file unchanged into the library under its file name without the
  // extension. A macro of that name is replaced in its own slot (and the agent told to rewrite
  // it); otherwise a free slot is taken. Returns the slot, or -1 when the name is invalid, the
  // source is missing, no slot is free or the copy failed (then no slot is taken).
  int ImportMacro(const std::u16string& sourcePath, MacroSlotNotifier& notifier) {
    return ImportMacroFile(sourcePath, notifier).Slot;
  }
  // The same, telling why a file was not imported.
  MacroSlotResult ImportMacroFile(const std::u16string& sourcePath, MacroSlotNotifier& notifier);
  // Writes the macro to an exchange file; its "MacroFilePath" is the exchange file's path.
  static bool ExportMacro(const Macro& macro, const std::u16string& exportPath);

  // The agent's read-back of macro area 0..19 (at least 189 bytes; fewer read as zero). An
  // area without records changes nothing. Otherwise a free key is named "NewMacro <area>" and
  // the macro file gets "MacroFilePath", "Count" and the block only, keeping its other keys.
  // Returns true when the files were written.
  bool StoreReadBackMacro(int area, std::span<const std::uint8_t> areaBytes);
  // The same for every area at once (area n is areas[n]), under one commit lock: one commit of
  // the index for the areas that need a name, then one per macro file. Returns the number of
  // macro files written.
  int StoreReadBackMacros(std::span<const std::vector<std::uint8_t>> areas);

 private:
  bool EnsureFolder() const;

  struct IndexCache {
    std::optional<FileStamp> Stamp;  // of the index as it was read; none: it was missing
    std::vector<MacroListEntry> Names;
  };

  std::u16string m_dataFolder;
  mutable std::optional<IndexCache> m_indexCache;  // none: read at the next use
};

// The macro name an exchange file imports as: its file name without folder and extension.
std::u16string MacroNameOfFile(std::u16string_view path);
