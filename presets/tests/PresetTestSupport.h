#pragma once
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory_resource>
#include <new>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BankFile.h"
#include "MessageReporter.h"
#include "Preset.h"
#include "PresetFileFormat.h"

namespace sombrevox::test {

using Bytes = std::vector<unsigned char>;

// Keeps every message instead of showing it.
class RecordingReporter final : public MessageReporter {
 public:
  void ShowError(const char* text) noexcept override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

// A folder of its own for each test, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? info->name() : "x";
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("sombrevox-presets-" + name + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The narrow path of `name` in the folder, as the bank operations take it.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The header as this system writes it, with the two version fields given.
inline Bytes Header(const char (&productVersion)[kVersionSize] = kBankProductVersion,
                    const char (&formatVersion)[kVersionSize] = kBankFormatVersion) {
  Bytes bytes(kBankHeaderSize);
  std::memcpy(bytes.data(), kBankMaker, kMakerSize);
  std::memcpy(bytes.data() + 12, kBankProduct, kProductSize);
  std::memcpy(bytes.data() + 34, productVersion, kVersionSize);
  std::memcpy(bytes.data() + 38, formatVersion, kVersionSize);
  return bytes;
}

// A record laid out field by field, independently of the encoder: the name
// bytes as given (up to 32), the eight values little-endian, then `reserved`.
inline Bytes RecordBytes(const std::string& nameField, const ReverbParams& params, unsigned char reserved = 0) {
  Bytes bytes(kPresetRecordSize, 0);
  std::memcpy(bytes.data(), nameField.data(), std::min<std::size_t>(nameField.size(), kPresetNameSize));
  for (int i = 0; i < kParamCount; ++i) {
    uint64_t bits = 0;
    const double value = ParamAt(params, i);
    std::memcpy(&bits, &value, 8);
    for (int b = 0; b < 8; ++b) bytes[kPresetNameSize + 8 * i + b] = static_cast<unsigned char>(bits >> (8 * b));
  }
  std::fill(bytes.begin() + 96, bytes.end(), reserved);
  return bytes;
}

// A distinct setting per index, with values no clamp would keep.
inline ReverbParams SampleParams(int index) {
  ReverbParams p{};
  for (int i = 0; i < kParamCount; ++i) ParamAt(p, i) = index * 1000.25 + i * 0.125 - 3.0;
  return p;
}

inline bool SameBytes(const ReverbParams& a, const ReverbParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Hands out `allowed` allocations, then refuses every further one.
class FailingMemory final : public std::pmr::memory_resource {
 public:
  explicit FailingMemory(int allowed) : allowed_(allowed) {}
  void Refuse() { allowed_ = 0; }

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    if (allowed_ <= 0) throw std::bad_alloc();
    --allowed_;
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override {
    std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
  }
  bool do_is_equal(const memory_resource& other) const noexcept override { return this == &other; }

  int allowed_;
};

// A real bank file whose n-th read fails (-1) or whose n-th write comes back
// short: the device error a disk cannot be made to produce on purpose.
class FailingFile final : public BankFile {
 public:
  FailingFile(BankFile& inner, int failingRead, int failingWrite)
      : inner_(inner), failingRead_(failingRead), failingWrite_(failingWrite) {}
  long Read(void* buffer, long count) noexcept override {
    return ++reads_ == failingRead_ ? -1 : inner_.Read(buffer, count);
  }
  long Write(const void* data, long count) noexcept override {
    return ++writes_ == failingWrite_ ? inner_.Write(data, count / 2) : inner_.Write(data, count);
  }
  bool SeekTo(long offset) noexcept override { return inner_.SeekTo(offset); }
  long SeekToEnd() noexcept override { return inner_.SeekToEnd(); }

 private:
  BankFile& inner_;
  int failingRead_;
  int failingWrite_;
  int reads_ = 0;
  int writes_ = 0;
};

}  // namespace sombrevox::test
