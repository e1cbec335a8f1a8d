// The few file-system services the card files need, one small file per platform.
// Paths are UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The folder of the running executable, with a trailing separator; "" when the system
// cannot tell (no /proc), never a guess such as the current folder.
std::string ExecutableFolder();
// The platform's path separator as a string ("/" or "\\").
const char* PathSeparator();
// The name inside the folder, with one separator between (the name alone for no folder).
std::string PathInFolder(const std::string& folder, const std::string& name);

// Creates a folder, its entry in the parent flushed to the disk; false if it exists
// already or cannot be made.
bool MakeFolder(const std::string& path);

// Why a file could not be put in place; kNone when it was.
// kInterrupted: saves were abandoned (AbandonSaves) before this one was in place.
enum class SaveError {
  kNone,
  kDiskFull,
  kNoPermission,
  kMissingFolder,
  kNotRegularFile,
  kInterrupted,
  kOther
};

// Writes the parts into a temporary file in the target's folder and puts it in place
// of the target in one step once every byte is written and on the disk. On any failure
// the temporary file is removed and an existing target is left exactly as it was. Only a
// missing name or a regular file is replaced: a link, folder, FIFO or device of that name
// is refused without being opened. The replacement keeps the target's permissions, but
// never its set-user-ID or set-group-ID bits. The first save of the process into a
// folder first removes the stale temporaries there (RemoveStaleTemporaries).
//
// When it returns kNone the file survives a power cut: its folder's entry is flushed
// too, unless the folder is in a batch (BeginFolderBatch), whose end flushes it once. A
// folder that cannot be flushed fails the save although the new file is in place: it
// is not known to be there for good.
struct ByteSpan {
  const void* data;
  size_t size;
};
SaveError ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count);

// The same for a file made piece by piece (a PDF of thousands of cards), with the same
// checks, flushes and guarantees: BeginReplacement makes the temporary beside the target,
// AppendToReplacement adds bytes to it, CommitReplacement puts it in place, and
// AbandonReplacement removes it, the target untouched. ReplaceFileWith is these calls.
// After the first failure appends do nothing and commit reports it (the temporary is
// then already gone); every begun replacement ends in one commit or one abandon.
struct FileReplacement {
  std::string path;       // the target
  std::string temporary;  // beside it, while the replacement is open
  intptr_t handle = -1;   // the temporary's descriptor or handle; -1 when none is open
  bool exists = false;    // a target was there to replace
  unsigned mode = 0;      // and its permissions (POSIX)
  SaveError error = SaveError::kNone;
};
SaveError BeginReplacement(const std::string& path, FileReplacement* file);
SaveError AppendToReplacement(FileReplacement* file, const void* data, size_t size);
SaveError CommitReplacement(FileReplacement* file);
void AbandonReplacement(FileReplacement* file);

// Removes the temporaries that ReplaceFileWith of a process that no longer runs left in
// the folder ("" for the current one) when it was killed mid-save: ".NAME.PID.N.tmp"
// (POSIX) or "~NAME.PID.N.tmp" (Windows). Those of live processes and every other file
// stay.
void RemoveStaleTemporaries(const std::string& folder);

// A batch's folder: from BeginFolderBatch on, files put in place there leave the folder
// entry to EndFolderBatch, which flushes it once for all of them. Each file's bytes are
// still on the disk before its rename, so after a power cut every name holds either its
// old file or its new one whole, and after EndFolderBatch the new ones for certain.
void BeginFolderBatch(const std::string& folder);
SaveError EndFolderBatch(const std::string& folder);
// Flushes a folder's entries to the disk ("" for the current folder).
SaveError FlushFolder(const std::string& folder);

// From this call on, every save not yet in place fails with kInterrupted and leaves no
// temporary behind; saves already in place stay. Safe to call from a signal handler.
void AbandonSaves();
bool SavesAbandoned();
// Saves are allowed again: for the report of an interrupted run (the list of the cards it
// saved), made once the run has stopped. A further interruption abandons them again.
void ResumeSaves();

// Whether saves wait for the disk (on unless a benchmark turns it off to measure what
// the waiting costs). Never turned off in the programs.
void SetSavesFlushed(bool flushed);

// Whether two paths name one file, made or still to be made: the same name in the same
// folder, the folder compared as the system knows it rather than as it is spelled
// ("out.pdf" and "./out.pdf"; on Windows also in other letter case). Two names of a
// folder that cannot be looked at are compared as written.
bool SameFile(const std::string& a, const std::string& b);

// Clears read-only, hidden and system marks, then deletes.
enum class RemoveResult { kRemoved, kMissing, kRefused };
RemoveResult RemoveFile(const std::string& path);
