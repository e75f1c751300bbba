// The settings store on the real registry of the test prefix: the registered
// module path, the default bank beside it, the two machine-wide values.
#include <gtest/gtest.h>

#include <string>

#include "PluginSettings.h"
#include "RegistryValues.h"
#include "TestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

const bool installed = InstallTestEnvironment(COINIT_APARTMENTTHREADED);

// The registry as each test wants it, restored afterwards.
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation");
    DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank");
  }
  PluginSettings Loaded(bool* result = nullptr) {
    PluginSettings s;
    InitPluginSettings(&s);
    // The default bank name is string 7 of this program, which carries the module's resources.
    const bool r = LoadSettings(GetModuleHandleA(nullptr), &s);
    if (result) *result = r;
    return s;
  }
  SavedValue server_{HKEY_CLASSES_ROOT, FilterServerKey(), nullptr};
  SavedValue show_{HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation"};
  SavedValue bank_{HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank"};
};

}  // namespace

TEST_F(SettingsStore, UnregisteredModuleKeepsTheInitialValues) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
    RegDeleteValueA(k, nullptr);
    RegCloseKey(k);
  }
  SetDword(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation", 0);
  bool read = true;
  const PluginSettings s = Loaded(&read);
  EXPECT_FALSE(read);
  EXPECT_EQ(s.showPresentation, TRUE) << "not even the existing key is read";
  EXPECT_STREQ(s.presetsBankPath, "");
}

TEST_F(SettingsStore, DefaultsBesideTheRegisteredModule) {
  SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, "C:\\Program Files\\Host\\OVSombrevoxLight.dll");
  bool read = true;
  const PluginSettings s = Loaded(&read);
  EXPECT_FALSE(read) << "no stored bank";
  EXPECT_EQ(s.showPresentation, TRUE);
  EXPECT_STREQ(s.presetsBankPath, "C:\\Program Files\\Host\\SombrevoxLight20.prs");
}

// The default bank replaces whatever the module file is called, not a fixed
// 20 characters, so a renamed or short module path stays whole.
TEST_F(SettingsStore, DefaultBankReplacesTheModuleFileName) {
  const struct {
    const char* module;
    const char* bank;
  } cases[] = {
      {"C:\\x\\renamed.dll", "C:\\x\\SombrevoxLight20.prs"},
      {"a.dll", "SombrevoxLight20.prs"},
      {"D:reverb.dll", "D:SombrevoxLight20.prs"},
      {"C:\\plugins\\OVSOMBREVOXLIGHT.DLL", "C:\\plugins\\SombrevoxLight20.prs"},
  };
  for (const auto& c : cases) {
    SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, c.module);
    EXPECT_STREQ(Loaded().presetsBankPath, c.bank) << c.module;
  }
}

TEST_F(SettingsStore, StoredValuesWin) {
  SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, "C:\\h\\OVSombrevoxLight.dll");
  SetDword(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation", 5);
  SetString(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank", "C:\\banks\\mine.prs");
  bool read = false;
  PluginSettings s = Loaded(&read);
  EXPECT_TRUE(read);
  EXPECT_EQ(s.showPresentation, TRUE) << "any non-zero value reads as 1";
  EXPECT_STREQ(s.presetsBankPath, "C:\\banks\\mine.prs");

  SetDword(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation", 0);
  EXPECT_EQ(Loaded().showPresentation, FALSE);

  // A stored path too long for the record leaves the default in place.
  SetString(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank", "C:\\" + std::string(600, 'b') + ".prs");
  s = Loaded(&read);
  EXPECT_FALSE(read);
  EXPECT_STREQ(s.presetsBankPath, "C:\\h\\SombrevoxLight20.prs");
}

TEST_F(SettingsStore, SaveThenLoadRoundTrip) {
  SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, "C:\\h\\OVSombrevoxLight.dll");
  SetDword(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation", 5);
  PluginSettings s = Loaded();
  ASSERT_TRUE(SaveSettings(&s));
  HKEY k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &k), ERROR_SUCCESS);
  DWORD show = 0, size = sizeof show, type = 0;
  RegQueryValueExA(k, "ShowPresentation", nullptr, &type, reinterpret_cast<BYTE*>(&show), &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(show, 1u) << "written back as 1";
  char path[600];
  size = sizeof path;
  RegQueryValueExA(k, "PresetsBank", nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(k);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(path, "C:\\h\\SombrevoxLight20.prs");

  s.showPresentation = FALSE;
  lstrcpyA(s.presetsBankPath, "C:\\other\\bank.prs");
  ASSERT_TRUE(SaveSettings(&s));
  const PluginSettings again = Loaded();
  EXPECT_EQ(again.showPresentation, FALSE);
  EXPECT_STREQ(again.presetsBankPath, "C:\\other\\bank.prs");
}

// A filter whose module was not registered has no bank path: closing its
// page stores its presentation choice and leaves the stored bank alone.
TEST_F(SettingsStore, EmptyBankPathKeepsTheStoredBank) {
  SetString(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank", "C:\\banks\\kept.prs");
  PluginSettings s;
  InitPluginSettings(&s);
  s.showPresentation = FALSE;
  ASSERT_TRUE(SaveSettings(&s));
  SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, "C:\\h\\OVSombrevoxLight.dll");
  const PluginSettings again = Loaded();
  EXPECT_STREQ(again.presetsBankPath, "C:\\banks\\kept.prs");
  EXPECT_EQ(again.showPresentation, FALSE);
}

TEST_F(SettingsStore, HelpFileBesideTheModule) {
  char path[MAX_PATH];
  HelpFilePath(GetModuleHandleA(nullptr), path);
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string expected(exe);
  expected = expected.substr(0, expected.find_last_of('\\') + 1) + "OVSombrevoxLight.HLP";
  EXPECT_STREQ(path, expected.c_str());
}
