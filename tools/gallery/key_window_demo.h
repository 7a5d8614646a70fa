#pragma once
// The configurator's key windows and its macro editor opened on their own, for people working on
// them and for screenshots: gallery.exe --open single-key | combination | fire-key | text-input
// | macro
#include <windows.h>

#include <string>
#include <string_view>

// Opens the key window named `name` modally over `owner`, preset as a button of a new mouse
// would have it, and describes how it ended ("" for an unknown name).
std::wstring RunKeyWindow(std::wstring_view name, HWND owner);
