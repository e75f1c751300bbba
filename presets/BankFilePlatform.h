#pragma once
#include <cstdio>

// The few file-system calls the bank's save needs beyond the C library, one
// implementation per platform (BankFilePosix.cpp, BankFileWin32.cpp).
namespace sombrevox {

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// What `path` names now. kOther is a device, a pipe or anything else that is
// neither a plain file nor a folder. A path that cannot be looked at counts
// as kMissing: the save then writes beside it, and never into it, and fails
// there if the folder cannot be reached either.
FileKind GetFileKind(const char* path) noexcept;

// Puts the file `source` in the place of `target`, replacing an existing
// target. False on a failure, and then `target` is as it was.
bool ReplaceFileWith(const char* target, const char* source) noexcept;

// Pushes what the system holds of `file` to the disk. False on a failure.
bool SyncToDisk(std::FILE* file) noexcept;

}  // namespace sombrevox
