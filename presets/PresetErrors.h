#pragma once
#include <cstdint>

namespace sombrevox {

// Result of the bank and dialog operations: 0 or one of the seven-digit codes
// below, which the message boxes show in decimal. 111xxxx are file and memory
// failures, 115xxxx preset logic and user refusals.
using PresetResult = int32_t;

constexpr PresetResult kPresetOk = 0;
constexpr PresetResult kBankOpenFailed = 1110001;
constexpr PresetResult kBankReadFailed = 1110002;
constexpr PresetResult kBankWriteFailed = 1110003;
constexpr PresetResult kPresetAllocFailed = 1110021;
constexpr PresetResult kPresetNotAdded = 1150001;
constexpr PresetResult kPresetNotFound = 1150002;
constexpr PresetResult kBankChoiceCancelled = 1150051;  // shows no message
constexpr PresetResult kBankNameInvalid = 1150201;
constexpr PresetResult kBankMakerInvalid = 1150202;
constexpr PresetResult kBankProductInvalid = 1150203;
constexpr PresetResult kBankFormatTooNew = 1150205;
constexpr PresetResult kPresetNameInUse = 1150351;
constexpr PresetResult kReplaceDeclined = 1150401;  // shows no message
constexpr PresetResult kDeleteDeclined = 1150451;   // shows no message

}  // namespace sombrevox
