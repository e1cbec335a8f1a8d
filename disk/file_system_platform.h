// The platform's part of the file system (file_system_posix.cpp, file_system_win32.cpp):
// the few calls of which file_system.cpp makes the replacement in one step, the same on
// every platform. Paths are UTF-8; only the file system's own files include this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/file_system.h"

constexpr intptr_t kNoFile = -1;

// The separators a path may use ("/", or both "\\" and "/" on Windows).
const char* PathSeparators();
// The folder part of a path, with its trailing separator; "" for a bare name, so that
// names built on it stay relative to the current folder.
std::string FolderOf(const std::string& path);
// The name after the folder part.
std::string NameOf(const std::string& path);
// One folder as one key, however it is named: absolute, without a trailing separator.
std::string FolderKey(const std::string& folder);
// Whether saves wait for the disk (SetSavesFlushed).
bool SavesFlushed();

// Whether the target may be replaced: only a missing name, or a regular file that could
// be written in place. *exists says whether there is one, *mode its permissions (POSIX).
SaveError CheckTarget(const std::string& path, bool* exists, unsigned* mode);

// A temporary's name is MARK NAME.PID.N.tmp: '.' (hidden) on POSIX, '~' on Windows.
char TemporaryMark();
// Whether the name ends so, as the file system compares names (Windows ignores case).
bool NameEndsWith(const std::string& name, const char* ending);
unsigned long CurrentProcessId();
size_t MostProcessIdDigits();
// A process runs unless the system knows it does not (no right to look counts as runs).
bool ProcessRuns(unsigned long pid);

// A new file of that name, or the error; *taken when the name exists already.
SaveError CreateNewFile(const std::string& path, intptr_t* handle, bool* taken);
SaveError WriteToFile(intptr_t handle, const void* data, size_t size);
// The replaced target's permissions, where the platform has them.
void KeepPermissions(intptr_t handle, unsigned mode);
// The file's bytes on the disk.
SaveError FlushFile(intptr_t handle);
// Closing reports late write errors of some file systems (a full disk on NFS).
SaveError CloseFile(intptr_t handle);
// Gives the file's name to the temporary in one step, replacing any file of that name.
SaveError MoveIntoPlace(const std::string& temporary, const std::string& path);
void DeleteQuietly(const std::string& path);

// The names in a folder ("" for the current one); none when it cannot be listed.
std::vector<std::string> FolderNames(const std::string& folder);
// Removes a plain file; a folder or link of that name stays.
void RemovePlainFile(const std::string& path);
