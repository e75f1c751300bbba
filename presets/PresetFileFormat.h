#pragma once
#include <cstddef>
#include <cstdint>

#include "Preset.h"

// The .prs bank file: a 42-byte header, then 104-byte records, no count and no
// trailer. Numbers are little-endian on every platform.
namespace sombrevox {

constexpr std::size_t kMakerSize = 12;
constexpr std::size_t kProductSize = 22;
constexpr std::size_t kVersionSize = 4;
constexpr std::size_t kBankHeaderSize = kMakerSize + kProductSize + 2 * kVersionSize;  // 42
constexpr std::size_t kPresetRecordSize = 104;  // name 32, eight doubles, 8 reserved bytes

// The header fields as written, each with its NUL.
inline constexpr char kBankMaker[kMakerSize] = "ORVELA Soft";
inline constexpr char kBankProduct[kProductSize] = "Sombrevox Light      ";
inline constexpr char kBankProductVersion[kVersionSize] = "2.0";
inline constexpr char kBankFormatVersion[kVersionSize] = "1.0";

// The format version this code reads and writes; later files are refused.
constexpr double kOwnFormatVersion = 1.0;

// The record of `preset`. The name bytes after its NUL and the reserved bytes
// are zero, whatever the record held in memory.
void EncodePresetRecord(const Preset& preset, unsigned char (&record)[kPresetRecordSize]);

// The preset of a record. A name field without a NUL gives its first 31
// characters; the reserved bytes are ignored.
Preset DecodePresetRecord(const unsigned char (&record)[kPresetRecordSize]);

// The number a formatVersion field begins with: the text up to its first NUL
// (at most the four bytes), after leading white space, read as a decimal
// number; 0 when it begins with none. Independent of the C locale.
double ParseFormatVersion(const unsigned char (&field)[kVersionSize]);

}  // namespace sombrevox
