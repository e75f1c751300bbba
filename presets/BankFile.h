#pragma once
#include <cstdio>

namespace sombrevox {

// The file layer of the bank operations: one open file with the results of
// the platform's buffered file functions (a read gives the bytes read, 0 at
// the end, -1 on an error; a write gives the bytes written).
class BankFile {
 public:
  virtual ~BankFile() = default;
  virtual long Read(void* buffer, long count) noexcept = 0;
  virtual long Write(const void* data, long count) noexcept = 0;
  // Moves to `offset` bytes from the start; false on a failure.
  virtual bool SeekTo(long offset) noexcept = 0;
  // Moves to the end and gives the length, or -1 on a failure.
  virtual long SeekToEnd() noexcept = 0;
};

// A bank file on disk through the C library's streams. Paths are narrow
// (system code page) strings. Closes the file on destruction if the owner
// did not.
class DiskBankFile final : public BankFile {
 public:
  enum class Mode { kRead, kCreate };

  DiskBankFile() = default;
  ~DiskBankFile() override;
  DiskBankFile(const DiskBankFile&) = delete;
  DiskBankFile& operator=(const DiskBankFile&) = delete;

  // kRead opens an existing file (not a folder); kCreate creates the file or
  // truncates it. False when the file cannot be opened.
  bool Open(const char* path, Mode mode) noexcept;
  bool IsOpen() const noexcept { return file_ != nullptr; }

  // Writes out what is buffered, down to the disk, and closes: false when
  // anything written could not be stored (a full disk shows here).
  bool Close() noexcept;

  long Read(void* buffer, long count) noexcept override;
  long Write(const void* data, long count) noexcept override;
  bool SeekTo(long offset) noexcept override;
  long SeekToEnd() noexcept override;

 private:
  std::FILE* file_ = nullptr;
  bool writing_ = false;
};

}  // namespace sombrevox
