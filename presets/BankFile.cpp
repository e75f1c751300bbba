#include "BankFile.h"

#include "BankFilePlatform.h"

namespace sombrevox {

DiskBankFile::~DiskBankFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool DiskBankFile::Open(const char* path, Mode mode) noexcept {
  if (file_ != nullptr) return false;
  // Some C libraries open a folder for reading; it is never a bank.
  if (GetFileKind(path) == FileKind::kDirectory) return false;
  file_ = std::fopen(path, mode == Mode::kRead ? "rb" : "wb");
  writing_ = mode == Mode::kCreate;
  return file_ != nullptr;
}

bool DiskBankFile::Close() noexcept {
  if (file_ == nullptr) return false;
  bool stored = true;
  if (writing_) stored = std::fflush(file_) == 0 && SyncToDisk(file_);
  stored = std::fclose(file_) == 0 && stored;
  file_ = nullptr;
  return stored;
}

long DiskBankFile::Read(void* buffer, long count) noexcept {
  if (file_ == nullptr || count < 0) return -1;
  const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(count), file_);
  if (std::ferror(file_)) return -1;
  return static_cast<long>(got);
}

long DiskBankFile::Write(const void* data, long count) noexcept {
  if (file_ == nullptr || count < 0) return 0;
  return static_cast<long>(std::fwrite(data, 1, static_cast<std::size_t>(count), file_));
}

bool DiskBankFile::SeekTo(long offset) noexcept { return file_ != nullptr && std::fseek(file_, offset, SEEK_SET) == 0; }

long DiskBankFile::SeekToEnd() noexcept {
  if (file_ == nullptr || std::fseek(file_, 0, SEEK_END) != 0) return -1;
  return std::ftell(file_);
}

}  // namespace sombrevox
