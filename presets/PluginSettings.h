#pragma once
// The user choices that outlive a filter instance, and their registry store.
#include <windows.h>

#include <string>

namespace sombrevox {

// One per filter instance, inside the filter; the editor link's first word
// points here. No lock: only the constructing thread and the page's window
// thread touch it, never the audio path.
struct PluginSettings {
  BOOL showPresentation;         // play the startup presentation on the first opening
  BOOL pendingShowPresentation;  // the value being edited in the Preferences dialog
  char presetsBankPath[512];     // full path of the current preset bank
};

// The values a settings record starts from: presentation on, no bank path
// (an empty path fails the bank check, so the Presets dialog starts empty).
void InitPluginSettings(PluginSettings* settings);

// Reads the registered module path, forms the default bank path beside it
// (named by string IDS_BANK_FILE of `resources`, the module carrying the
// resources), then the machine-wide values. Returns true when "PresetsBank"
// was read. Leaves the record untouched when the filter is not registered.
bool LoadSettings(HMODULE resources, PluginSettings* settings);

// Writes both values under the machine-wide key, "PresetsBank" only when the
// record names a bank (an empty path leaves the stored one). False when the
// key cannot be created or opened (the changes are then lost, silently).
bool SaveSettings(const PluginSettings* settings);

// The help file's path: "OVSombrevoxLight.HLP" beside `module`.
void HelpFilePath(HMODULE module, char path[MAX_PATH]);

// The settings key under HKEY_LOCAL_MACHINE, and the filter's server key under
// HKEY_CLASSES_ROOT whose default value is the registered module's path.
extern const char kSettingsKey[];
std::string FilterServerKey();

}  // namespace sombrevox
