// The filter reads the settings store when it is made.
#include <gtest/gtest.h>

#include <string>

#include "FilterTestSupport.h"
#include "PluginSettings.h"
#include "RegistryValues.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

TEST(SettingsStore, NewFilterReadsTheStoreAtConstruction) {
  SavedValue server{HKEY_CLASSES_ROOT, FilterServerKey(), nullptr};
  SavedValue show{HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation"};
  SavedValue bank{HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank"};
  SetString(HKEY_CLASSES_ROOT, FilterServerKey().c_str(), nullptr, ModulePath());
  SetString(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank", "C:\\banks\\filter.prs");
  SetDword(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation", 0);
  ComPtr<IUnknown> filter = CreateFilter();
  EditorLink* link = nullptr;
  As<IReverbSettings>(filter.Get(), IID_IReverbSettings)->GetEditorLink(&link);
  ASSERT_TRUE(link && link->settings);
  EXPECT_EQ(link->settings->showPresentation, FALSE);
  EXPECT_STREQ(link->settings->presetsBankPath, "C:\\banks\\filter.prs");

  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank");
  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation");
  ComPtr<IUnknown> fresh = CreateFilter();
  As<IReverbSettings>(fresh.Get(), IID_IReverbSettings)->GetEditorLink(&link);
  EXPECT_EQ(link->settings->showPresentation, TRUE);
  std::string expected = ModulePath();
  expected = expected.substr(0, expected.find_last_of('\\') + 1) + "SombrevoxLight20.prs";
  EXPECT_STREQ(link->settings->presetsBankPath, expected.c_str());
}

}  // namespace
