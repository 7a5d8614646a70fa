#pragma once
// The five profile files "QVProfile1.pfd" .. "QVProfile5.pfd" in the data folder, one profile
// each, and the single-profile exchange file. Every save is one atomic commit per file with the
// keys in the order the other program expects; every load parses each file once. Nothing here
// validates: after a load the caller runs ValidateProfileSet.
//
// dataFolder is a Windows path ending in a backslash.

#include <cstddef>
#include <string>

#include "settings/ini_file.h"
#include "settings/profile_set.h"

// dataFolder + "QVProfile%d.pfd" for file number 1..5 (profile index + 1).
std::u16string ProfileFilePath(const std::u16string& dataFolder, int fileNumber);

// A profile file is about 10 KB; one over 1 MB is unreadable and never overwritten.
inline constexpr std::size_t kProfileFileMaxBytes = 1024u * 1024u;
IniFile ProfileFile(const std::u16string& dataFolder, int fileNumber);

// Writes every key of all five files, holding the commit lock across the five commits so that
// the other program's save never interleaves with this one. Returns false when a file could not be
// written (the callers carry on regardless; the old content then stays).
bool SaveProfileFiles(const ProfileSet& set, const std::u16string& dataFolder);

// Reads all five files into a set that has just been reset. Missing keys read as -1 (colours as
// 0), damaged blocks are skipped whole, and the "GroupID" of the fifth file wins.
void LoadProfileFiles(ProfileSet& set, const std::u16string& dataFolder);

// Writes only the lighting keys of each profile into its file, under one commit lock too.
bool SaveLightingKeys(const ProfileSet& set, const std::u16string& dataFolder);

// Writes "MouseSensitivity" = value into the section of every one of the five files (the
// Windows pointer speed, which the agent takes over at start).
bool SaveMouseSensitivityKeys(const std::u16string& dataFolder, int value);

// The exchange file: one profile without "GroupID", "LoopNumber" and the lighting levels.
bool ExportProfile(const std::u16string& path, const ProfileRecord& record);
// Reads an exchange file into the record; "LoopNumber" and the lighting levels stay as they
// were, missing keys read as -1 (colours included). Not validated. A file without the section
// "GROUP" (missing, not an exchange file) is refused: false, and the record is unchanged.
bool ImportProfile(const std::u16string& path, ProfileRecord& record);
