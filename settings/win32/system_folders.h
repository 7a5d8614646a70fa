#pragma once
// Finds this process's program and data folders through Windows and records them with
// SetProcessFolders.

#include <optional>
#include <string>

std::u16string ModuleProgramFolder();
std::optional<std::u16string> DocumentsFolder();
void InitProcessFolders();
