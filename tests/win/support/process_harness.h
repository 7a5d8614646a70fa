#pragma once
// Helpers for tests that run whole programs: temporary folders, a documents folder of the
// test's own (so a program's data folder is fresh), starting processes and finding windows.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace harness {

// The folder of the running test program (where the built programs are), with a backslash.
std::wstring BinFolder();

// A fresh, empty folder below the temporary folder, removed with its content at the end.
class TempFolder {
 public:
  explicit TempFolder(const wchar_t* prefix = L"vireo");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return m_path; }  // ends in a backslash

 private:
  std::wstring m_path;
};

// Points the user's documents folder at `folder` for the programs started while it lives.
class DocumentsOverride {
 public:
  explicit DocumentsOverride(const std::wstring& folder);
  ~DocumentsOverride();
  DocumentsOverride(const DocumentsOverride&) = delete;
  DocumentsOverride& operator=(const DocumentsOverride&) = delete;

 private:
  bool m_hadUser = false, m_hadShell = false;
  std::wstring m_oldUser, m_oldShell;
};

// A started program; the destructor kills it if it still runs.
class Process {
 public:
  Process(const std::wstring& exe, const std::wstring& arguments = L"");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Started() const { return m_info.hProcess != nullptr; }
  // True and the exit code when it ended within the time.
  bool WaitExit(DWORD milliseconds, DWORD* exitCode = nullptr);
  bool Running();

 private:
  PROCESS_INFORMATION m_info{};
};

// Every process this one starts from now on, and every process those start, even one that ended
// at once, is counted by the job this process joins.
class ChildCounter {
 public:
  ChildCounter();
  ~ChildCounter();
  ChildCounter(const ChildCounter&) = delete;
  ChildCounter& operator=(const ChildCounter&) = delete;
  bool Ready() const { return m_assigned; }
  // Processes started in the job so far; -1 when the job cannot tell.
  long Started() const;

 private:
  HANDLE m_job;
  bool m_assigned = false;
};

HWND WaitForWindow(const wchar_t* title, DWORD milliseconds);
// Finds the window and waits until its thread takes messages, so its creation has finished
// (the title is found while WM_CREATE still runs).
HWND WaitForReadyWindow(const wchar_t* title, DWORD milliseconds);
bool WaitForNoWindow(const wchar_t* title, DWORD milliseconds);
// Counts the top-level windows with the title.
int CountWindows(const wchar_t* title);
bool WaitForFile(const std::wstring& path, DWORD milliseconds);
// Paths relative to `root` (ending in a backslash) of every file below it, in subfolders too.
std::vector<std::wstring> FilesBelow(const std::wstring& root);
std::string ReadFileBytes(const std::wstring& path);
bool CopyInto(const std::wstring& file, const std::wstring& folder,
              const wchar_t* newName = nullptr);
// Lays out a program folder for hid.exe as the build does: the agent, every library beside the
// tests, and the stand-in configurator as tuner.exe. False when one could not be copied.
bool InstallAgent(const std::wstring& folder);
// Puts the real configurator (tuner.exe) and the whole built skin (images\0409\...) into a
// program folder, over the stand-in of InstallAgent when there is one.
bool InstallConfigurator(const std::wstring& folder);
// How often the stand-in configurator that InstallAgent put into `folder` was started.
int StandInTunerStarts(const std::wstring& folder);
// Copies the built skin's `files` from images\0409\<skinFolder> (e.g. L"controls\\") into the
// same place below `folder`. False when one is missing.
bool InstallSkinFiles(const std::wstring& folder, const std::wstring& skinFolder,
                      std::initializer_list<const wchar_t*> files);
// The agent's progress pictures (mask, face, fill) below `folder`, where hid.exe reads them.
bool InstallProgressPictures(const std::wstring& folder);
// Runs the message loop of this thread for the given time.
void PumpMessages(DWORD milliseconds);

}  // namespace harness
