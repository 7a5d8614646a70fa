// RegistryKey against the real registry: root selection from the path, open-or-create, reads
// bounded by the caller's buffer, and Close.
#include "agent/win32/registry_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::wstring ScratchName(const wchar_t* what) {
  return std::wstring(L"VireoRegistryKeyTest") + what + std::to_wstring(GetCurrentProcessId());
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Bytes as stored, so a value may lack its terminator.
void SetRaw(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes),
            ERROR_SUCCESS);
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  SetRaw(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}

TEST(RegistryKeyTest, TheFirstPartNamesTheRootInAnyCase) {
  struct Row {
    const wchar_t* path;
    HKEY root;
    const wchar_t* subkey;
  };
  const Row rows[] = {
      {L"HKEY_LOCAL_MACHINE\\Software", HKEY_LOCAL_MACHINE, L"Software"},
      {L"hkey_current_user\\Software", HKEY_CURRENT_USER, L"Software"},
      {L"HKEY_Current_Config\\Software", HKEY_CURRENT_CONFIG, L"Software"},
      {L"HKEY_CLASSES_ROOT\\mailto", HKEY_CLASSES_ROOT, L"mailto"},
      // Any other first part stays in the path below HKEY_LOCAL_MACHINE.
      {L"Software\\Microsoft", HKEY_LOCAL_MACHINE, L"Software\\Microsoft"},
      {L"HKEY_USERS_X\\Software", HKEY_LOCAL_MACHINE, L"HKEY_USERS_X\\Software"},
  };
  for (const Row& row : rows) {
    const wchar_t* subkey = nullptr;
    EXPECT_EQ(RegistryKey::RootOf(row.path, &subkey), row.root) << row.path;
    ASSERT_NE(subkey, nullptr);
    EXPECT_STREQ(subkey, row.subkey);
  }
  RegistryKey key;
  ASSERT_TRUE(key.Open(L"hkey_current_user\\Software", KEY_READ));
  EXPECT_EQ(key.Root(), HKEY_CURRENT_USER);
  EXPECT_STREQ(key.SubkeyPath(), L"Software");
  key.Close();
}

TEST(RegistryKeyTest, APathWithoutBackslashIsARootOrASubkeyOfTheLocalMachine) {
  RegistryKey key;
  ASSERT_TRUE(key.Open(L"HKEY_CURRENT_USER", KEY_READ));
  EXPECT_EQ(key.Root(), HKEY_CURRENT_USER);
  EXPECT_STREQ(key.SubkeyPath(), L"");
  // It is the root itself: its "Software" key is right below.
  HKEY software = nullptr;
  EXPECT_EQ(RegOpenKeyExW(key.Handle(), L"Software", 0, KEY_READ, &software), ERROR_SUCCESS);
  if (software) RegCloseKey(software);
  key.Close();

  const wchar_t* subkey = nullptr;
  EXPECT_EQ(RegistryKey::RootOf(L"Software", &subkey), HKEY_LOCAL_MACHINE);
  EXPECT_STREQ(subkey, L"Software");
  ASSERT_TRUE(key.Open(L"Software", KEY_READ));
  EXPECT_EQ(key.Root(), HKEY_LOCAL_MACHINE);
  EXPECT_STREQ(key.SubkeyPath(), L"Software");
  key.Close();
}

TEST(RegistryKeyTest, AMissingKeyIsCreatedAndATooLongPathRefused) {
  const std::wstring path = L"Software\\" + ScratchName(L"Create");
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
  {
    RegistryKey key;
    ASSERT_TRUE(key.Open((L"HKEY_CURRENT_USER\\" + path).c_str(), KEY_ALL_ACCESS));
    EXPECT_NE(key.Handle(), nullptr);
    key.Close();
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);

  // 260 units do not fit the subkey path with its terminator; nothing is opened or made.
  const std::wstring tooLong = path + L"\\" + std::wstring(259 - path.size(), L'k');
  ASSERT_EQ(tooLong.size(), 260u);
  RegistryKey key;
  EXPECT_FALSE(key.Open((L"HKEY_CURRENT_USER\\" + tooLong).c_str(), KEY_ALL_ACCESS));
  EXPECT_EQ(key.Handle(), nullptr);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
  EXPECT_FALSE(key.Open(nullptr, KEY_READ));
}

class RegistryKeyReadTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &m_raw, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(m_key.Open((L"HKEY_CURRENT_USER\\" + m_path).c_str(), KEY_ALL_ACCESS));
  }
  void TearDown() override {
    m_key.Close();
    if (m_raw) RegCloseKey(m_raw);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }

  // Reads into a 10-unit buffer prefilled with '#'; the buffer's text afterwards.
  bool Read(const wchar_t* name, std::wstring* text) {
    std::fill(std::begin(m_buffer), std::end(m_buffer), L'#');
    const bool read = m_key.ReadString(name, m_buffer, sizeof m_buffer);
    text->assign(m_buffer, std::find(std::begin(m_buffer), std::end(m_buffer), L'\0'));
    return read;
  }

  std::wstring m_path = L"Software\\" + ScratchName(L"Read");
  HKEY m_raw = nullptr;
  RegistryKey m_key;
  wchar_t m_buffer[10];
};

TEST_F(RegistryKeyReadTest, AValueThatFitsIsReadTerminated) {
  std::wstring text;
  SetText(m_raw, L"Fits", L"123456789");
  EXPECT_TRUE(Read(L"Fits", &text));
  EXPECT_EQ(text, L"123456789");

  // Stored without its terminator, it still comes back terminated.
  SetRaw(m_raw, L"Bare", REG_SZ, L"abcdefghi", 9 * 2);
  EXPECT_TRUE(Read(L"Bare", &text));
  EXPECT_EQ(text, L"abcdefghi");

  SetText(m_raw, L"", L"default");
  EXPECT_TRUE(Read(L"", &text));
  EXPECT_EQ(text, L"default");
}

TEST_F(RegistryKeyReadTest, AValueLongerThanTheBufferIsAFailedReadThatLeavesTheBuffer) {
  std::wstring text;
  SetText(m_raw, L"Long", L"1234567890");
  EXPECT_FALSE(Read(L"Long", &text));
  EXPECT_EQ(text.substr(0, 10), std::wstring(10, L'#'));
  // Ten units without a terminator leave no room for one.
  SetRaw(m_raw, L"BareLong", REG_SZ, L"abcdefghij", 10 * 2);
  EXPECT_FALSE(Read(L"BareLong", &text));
  EXPECT_EQ(text.substr(0, 10), std::wstring(10, L'#'));
}

TEST_F(RegistryKeyReadTest, MissingAndNonTextValuesAreFailedReads) {
  std::wstring text;
  EXPECT_FALSE(Read(L"Missing", &text));
  const DWORD number = 0x00410041;
  SetRaw(m_raw, L"Number", REG_DWORD, &number, sizeof number);
  EXPECT_FALSE(Read(L"Number", &text));
  EXPECT_EQ(text.substr(0, 10), std::wstring(10, L'#'));
}

TEST_F(RegistryKeyReadTest, CloseForgetsTheKeySoReadsFailUntilTheNextOpen) {
  SetText(m_raw, L"Value", L"v");
  std::wstring text;
  m_key.Close();
  EXPECT_EQ(m_key.Handle(), nullptr);
  EXPECT_STREQ(m_key.SubkeyPath(), L"");
  EXPECT_FALSE(Read(L"Value", &text));
  EXPECT_EQ(text.substr(0, 10), std::wstring(10, L'#'));

  // Opening another key first lets go of the one before.
  ASSERT_TRUE(m_key.Open(L"HKEY_CURRENT_USER\\Software", KEY_READ));
  ASSERT_TRUE(m_key.Open((L"HKEY_CURRENT_USER\\" + m_path).c_str(), KEY_READ));
  EXPECT_TRUE(Read(L"Value", &text));
  EXPECT_EQ(text, L"v");
}

}  // namespace
