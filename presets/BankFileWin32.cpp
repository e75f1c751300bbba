#include <io.h>
#include <windows.h>

#include <cstdio>

#include "BankFilePlatform.h"

namespace sombrevox {

FileKind GetFileKind(const char* path) noexcept {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::kOther;
  return FileKind::kRegular;
}

bool ReplaceFileWith(const char* target, const char* source) noexcept {
  // rename() refuses an existing target here; this replaces it in one step.
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SyncToDisk(std::FILE* file) noexcept { return _commit(_fileno(file)) == 0; }

}  // namespace sombrevox
