// The choice of the batch folder: beside the executable if a file can be made there,
// else in the user's pictures folder, made with its parents.
#include "files/batch_folder.h"

#include "draw/draw.h"
#include "files/card_files.h"
#include "disk/file_system.h"
#include "disk/user_folders.h"

namespace {

// Hidden where a leading dot hides, and named for the program, so that it cannot be
// taken for one of the user's files.
constexpr const char* kProbeName = ".tessarine-probe";

// Either separator: Windows takes both, and on POSIX the two are the same.
std::string Separators() { return std::string("/") + PathSeparator(); }

// Each missing parent first; those that exist, or are a drive ("C:"), simply fail.
bool MakeFolderWithParents(const std::string& path) {
  const std::string separators = Separators();
  for (size_t at = path.find_first_of(separators, 1); at != std::string::npos;
       at = path.find_first_of(separators, at + 1))
    MakeFolder(path.substr(0, at));
  return MakeFolder(path);
}

}  // namespace

bool CanCreateFilesIn(const std::string& folder) {
  if (folder.empty()) return false;
  const std::string probe = PathInFolder(folder, kProbeName);
  const ByteSpan nothing{"", 0};
  if (ReplaceFileWith(probe, &nothing, 1) != SaveError::kNone) return false;
  RemoveFile(probe);
  return true;
}

BatchPlace ChooseBatchFolderBetween(const std::string& beside, const std::string& user_folder) {
  if (!beside.empty()) {
    // The folder may be there from an earlier batch; its files are then overwritten. That
    // is no failure the user hears of, only a recorded code.
    if (!MakeFolder(beside)) RecordRuntimeError(kErrorPathAccess);
    if (CanCreateFilesIn(beside)) return {beside, true};
  }
  if (user_folder.empty()) {
    // Nothing known at all gives no place: a bare name would land in the current folder,
    // where nobody looks for it.
    return {beside, true};
  }
  const std::string fallback = PathInFolder(user_folder, kBatchFolderName);
  MakeFolderWithParents(fallback);
  return {fallback, false};
}

BatchPlace ChooseBatchFolder() {
  return ChooseBatchFolderBetween(BatchFolder(), UserPicturesFolder());
}
