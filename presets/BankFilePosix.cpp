#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "BankFilePlatform.h"

namespace sombrevox {

FileKind GetFileKind(const char* path) noexcept {
  struct stat info {};
  if (::stat(path, &info) != 0) return FileKind::kMissing;
  if (S_ISREG(info.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(info.st_mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

bool ReplaceFileWith(const char* target, const char* source) noexcept {
  // The new file takes the old one's permission bits, as a rewrite in place
  // would have kept them.
  struct stat info {};
  if (::stat(target, &info) == 0) ::chmod(source, info.st_mode & 07777);
  return std::rename(source, target) == 0;
}

bool SyncToDisk(std::FILE* file) noexcept { return ::fsync(::fileno(file)) == 0; }

}  // namespace sombrevox
