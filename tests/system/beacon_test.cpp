// beacon.exe under Wine: one instance, a hidden window titled "VireoMouseBeacon" with a tray
// icon while it runs, and an end on WM_CLOSE or by itself after its lifetime, icon removed.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "beacon/beacon_window.h"
#include "contract/program_names.h"
#include "support/process_harness.h"
#include "win/text.h"

namespace {

const wchar_t* BeaconTitle() {
  return AsWide(program_names::kBeaconWindowTitle);
}

std::wstring Beacon() {
  return harness::BinFolder() + L"beacon.exe";
}

// The shell accepts an empty change only for an icon that exists.
bool IconPresent(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = CBeaconWnd::kIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

class BeaconTest : public testing::Test {
 protected:
  void SetUp() override {
    // One started by an agent of an earlier test ends by itself within its lifetime.
    ASSERT_TRUE(harness::WaitForNoWindow(BeaconTitle(), CBeaconWnd::kLifetimeMs + 5000))
        << "a beacon is already running";
  }
};

TEST_F(BeaconTest, OneInstanceWithAHiddenWindowAndIconEndsOnCloseAndTakesItsIconAway) {
  harness::Process first(Beacon());
  ASSERT_TRUE(first.Started());
  HWND window = harness::WaitForReadyWindow(BeaconTitle(), 10000);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(IconPresent(window));

  // A second start while the first is up ends at once and adds nothing.
  harness::Process second(Beacon());
  ASSERT_TRUE(second.Started());
  DWORD exitCode = 1;
  EXPECT_TRUE(second.WaitExit(5000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(harness::CountWindows(BeaconTitle()), 1);
  EXPECT_TRUE(first.Running());

  // The agent's shut-down asks it to close.
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(5000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(IconPresent(window));

  // Once it has gone, the next plug-in gets a notification again.
  harness::Process third(Beacon());
  EXPECT_NE(harness::WaitForReadyWindow(BeaconTitle(), 10000), nullptr);
  PostMessageW(FindWindowW(nullptr, BeaconTitle()), WM_CLOSE, 0, 0);
  EXPECT_TRUE(third.WaitExit(5000));
}

TEST_F(BeaconTest, EndsByItselfAfterItsLifetime) {
  harness::Process beacon(Beacon());
  HWND window = harness::WaitForReadyWindow(BeaconTitle(), 10000);
  ASSERT_NE(window, nullptr);
  // Still there well within its lifetime, gone not long after it.
  EXPECT_FALSE(beacon.WaitExit(CBeaconWnd::kLifetimeMs / 2));
  EXPECT_TRUE(IconPresent(window));
  EXPECT_TRUE(beacon.WaitExit(CBeaconWnd::kLifetimeMs));
  EXPECT_FALSE(IconPresent(window));
  EXPECT_EQ(FindWindowW(nullptr, BeaconTitle()), nullptr);
}

TEST_F(BeaconTest, AClickOnTheNotificationOrTheIconEndsItEarly) {
  for (const UINT event : {UINT(NIN_BALLOONUSERCLICK), UINT(WM_LBUTTONDOWN)}) {
    harness::Process beacon(Beacon());
    HWND window = harness::WaitForReadyWindow(BeaconTitle(), 10000);
    ASSERT_NE(window, nullptr);
    // Moving over the icon is no click.
    PostMessageW(window, CBeaconWnd::kTrayCallback, CBeaconWnd::kIconId, WM_MOUSEMOVE);
    EXPECT_FALSE(beacon.WaitExit(500));
    PostMessageW(window, CBeaconWnd::kTrayCallback, CBeaconWnd::kIconId, event);
    EXPECT_TRUE(beacon.WaitExit(3000)) << event;
    EXPECT_FALSE(IconPresent(window));
  }
}

}  // namespace
