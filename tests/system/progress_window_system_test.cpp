// hid.exe's progress window during a full write, seen from outside as a person would see it:
// the agent runs from a program folder of its own (with the skin's progress pictures) against
// the virtual mouse in this process; while a second thread waits in SendMessage(0x4DE) the
// window is found by its title, captured into a PNG beside the test programs and measured.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <tlhelp32.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "support/window_capture.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/gdiplus_session.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kProgressTitle[] = L"VireoProgressbar";
constexpr int kFaceWidth = 360;  // the skin's updatebar pictures
constexpr int kFaceHeight = 36;

// Whether the process has loaded the DLL.
bool HasModule(DWORD processId, const wchar_t* dll) {
  UniqueKernelHandle snapshot(
      CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
  if (!snapshot) return false;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot.get(), &entry); more;
       more = Module32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szModule, dll) == 0) return true;
  }
  return false;
}

class ProgressWindowSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr)
        << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    // The agent reads its progress pictures below its own folder.
    ASSERT_TRUE(harness::InstallProgressPictures(m_program.Path()))
        << "the built skin lacks a progress picture (build vireo_skin_files)";
  }

  void TearDown() override {
    if (HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 5000);
    }
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  // Agent and attached mouse, after the read-back of the attach.
  void StartAttached() {
    m_mouse = std::make_unique<VirtualMouseServer>();
    ASSERT_TRUE(m_mouse->Start());
    SetEnvironmentVariableW(L"VIREO_VMOUSE",
                            (L"127.0.0.1:" + std::to_wstring(m_mouse->Port())).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    ASSERT_TRUE(m_agent->Started());
    m_agentWindow = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 15000);
    ASSERT_NE(m_agentWindow, nullptr);
    ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten));
  }

  GdiplusSession m_gdiplus;
  harness::TempFolder m_program{L"vireo-progress-program"};
  harness::TempFolder m_documents{L"vireo-progress-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  harness::StandInConfigurator m_configurator;
  std::unique_ptr<VirtualMouseServer> m_mouse;
  std::unique_ptr<harness::Process> m_agent;
  HWND m_agentWindow = nullptr;
};

TEST_F(ProgressWindowSystemTest, AFullWriteShowsTheShapedBarCentredAndRemovesItAfterwards) {
  StartAttached();
  ASSERT_EQ(FindWindowW(nullptr, kProgressTitle), nullptr);
  DWORD agentProcess = 0;
  GetWindowThreadProcessId(m_agentWindow, &agentProcess);
  ASSERT_TRUE(HasModule(agentProcess, L"user32.dll")) << "modules cannot be listed here";
  // The skin library brings GDI+ along, which the agent never uses.
  EXPECT_FALSE(HasModule(agentProcess, L"gdiplus.dll"));

  // A window of this process in front, as the configurator's window is when its Apply sends
  // the write.
  UniqueWindowHandle inFront(CreateWindowExW(0, L"STATIC", L"in front", WS_OVERLAPPEDWINDOW, 50, 50,
                                             200, 100, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(inFront);
  ShowWindow(inFront.get(), SW_SHOW);
  SetForegroundWindow(inFront.get());
  harness::PumpMessages(200);
  ASSERT_EQ(GetForegroundWindow(), inFront.get());

  // The configurator's call: it waits for the whole write.
  bool answered = false;
  DWORD_PTR result = 1;
  std::thread configurator([&] {
    answered = SendMessageTimeoutW(m_agentWindow, agent_msg::kApplyAll, 0, 0, SMTO_NORMAL, 60000,
                                   &result) != 0;
  });

  HWND window = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    window = FindWindowW(nullptr, kProgressTitle);
    if (window != nullptr && IsWindowVisible(window)) break;
    Sleep(5);
  }
  ASSERT_NE(window, nullptr) << "no progress window during the write";
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), m_agentWindow);

  // Give the first steps time to reach the screen, then take the picture mid-write.
  Sleep(150);
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(window, &rect));
  harness::WindowCapture capture;
  const bool captured = harness::CaptureWindow(window, capture);
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  const int regionKind = GetWindowRgn(window, region.get());
  const HWND front = GetForegroundWindow();
  const bool stillThere = IsWindow(window) && IsWindowVisible(window);
  configurator.join();

  EXPECT_TRUE(stillThere) << "the write ended before the window was measured";
  EXPECT_EQ(front, window) << "brought in front of the configurator's window";
  EXPECT_EQ(rect.right - rect.left, kFaceWidth);
  EXPECT_EQ(rect.bottom - rect.top, kFaceHeight);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kFaceWidth) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kFaceHeight) / 2);
  EXPECT_EQ(regionKind, COMPLEXREGION) << "the mask's rounded outline";
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.get(), kFaceWidth / 2, kFaceHeight / 2));

  ASSERT_TRUE(captured);
  const std::wstring png = harness::BinFolder() + L"progress_window.png";
  EXPECT_TRUE(harness::SaveCaptureAsPng(capture, png));
  // The picture holds the bar: the face is dark grey and the fill blue, never plain black
  // across the middle line.
  int coloured = 0;
  for (int x = kFaceHeight; x < kFaceWidth - kFaceHeight; ++x) {
    if (capture.At(x, kFaceHeight / 2) != 0) ++coloured;
  }
  EXPECT_GT(coloured, (kFaceWidth - 2 * kFaceHeight) * 9 / 10) << "see progress_window.png";

  EXPECT_TRUE(answered);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(FindWindowW(nullptr, kProgressTitle), nullptr) << "the window outlived the write";
  EXPECT_FALSE(HasModule(agentProcess, L"gdiplus.dll"));
}

}  // namespace
