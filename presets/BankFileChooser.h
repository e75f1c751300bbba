#pragma once
#include <windows.h>

#include "MessageReporter.h"
#include "PluginSettings.h"
#include "PresetErrors.h"

namespace sombrevox {

// The settings record's bank path buffer (512 characters with the NUL).
using BankPath = decltype(PluginSettings::presetsBankPath);

// Lets the user pick an existing bank file in the platform's open-file
// dialog, owned by `owner`. A chosen file that passes CheckPresetFile has its
// path copied into `path` (the settings record's bank path); otherwise `path`
// stays as it was. Returns 0, 1150051 when the user cancelled (no message), or the
// check's code (its message shown through `reporter`).
PresetResult ChooseBankFile(BankPath& path, HWND owner, MessageReporter& reporter) noexcept;

}  // namespace sombrevox
