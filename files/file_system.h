// The few file-system services the card files need, one small file per platform.
// Paths are UTF-8.
#pragma once
#include <cstddef>
#include <string>

// The folder of the running executable, with a trailing separator.
std::string ExecutableFolder();
// The platform's path separator as a string ("/" or "\\").
const char* PathSeparator();

// Creates a folder; false if it exists already or cannot be made.
bool MakeFolder(const std::string& path);

// Why a file could not be put in place; kNone when it was.
enum class SaveError { kNone, kDiskFull, kNoPermission, kMissingFolder, kNotRegularFile, kOther };

// Writes the parts into a temporary file in the target's folder and puts it in place
// of the target in one step once every byte is written. On any failure the temporary
// file is removed and an existing target is left exactly as it was. The replacement
// keeps the target's permissions, but never its set-user-ID or set-group-ID bits.
// The first save of the process into a folder first removes the stale temporaries
// there (RemoveStaleTemporaries).
struct ByteSpan {
  const void* data;
  size_t size;
};
SaveError ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count);

// Removes the temporaries that ReplaceFileWith of a process that no longer runs left in
// the folder ("" for the current one) when it was killed mid-save: ".NAME.PID.N.tmp"
// (POSIX) or "~NAME.PID.N.tmp" (Windows). Those of live processes and every other file
// stay.
void RemoveStaleTemporaries(const std::string& folder);

// Clears read-only, hidden and system marks, then deletes.
enum class RemoveResult { kRemoved, kMissing, kRefused };
RemoveResult RemoveFile(const std::string& path);
