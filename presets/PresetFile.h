#pragma once
#include "BankFile.h"
#include "MessageReporter.h"
#include "PresetBank.h"
#include "PresetErrors.h"

namespace sombrevox {

// The three operations on a bank file. Each shows its own failure through
// `reporter`, once, and returns 0 or the failure's code; the caller shows
// nothing more. Paths are narrow (system code page) strings.

// Whether the file at `path` may be loaded: its name ends in "prs" (case
// sensitive, no dot needed), and it is empty or starts with this product's
// header of a format version no later than 1.0.
PresetResult CheckPresetFile(const char* path, MessageReporter& reporter) noexcept;

// Appends the file's records to `bank` (which the caller has emptied), in file
// order. Run it only after CheckPresetFile returned 0. On a read error the
// records read before it stay in the bank.
PresetResult LoadPresetFile(const char* path, PresetBank& bank, MessageReporter& reporter) noexcept;

// Writes the header and every record of `bank`, in bank order. The bank is
// written beside the old file and replaces it only once all of it is stored,
// so a failure part-way (a full disk, a device error) leaves the old file as
// it was.
PresetResult SavePresetFile(const char* path, const PresetBank& bank, MessageReporter& reporter) noexcept;

// The two halves of load and save that follow the opening, on any file layer:
// reads the records from offset 42 on, and writes header and records.
PresetResult ReadPresetRecords(BankFile& file, PresetBank& bank, MessageReporter& reporter) noexcept;
PresetResult WritePresetRecords(BankFile& file, const PresetBank& bank, MessageReporter& reporter) noexcept;

}  // namespace sombrevox
