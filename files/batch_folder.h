// Where a batch of cards ("Muchas") goes: the folder "muchas" beside the executable
// wherever that folder can be made and written, else "muchas" in the user's pictures
// folder (an installed program, whose folder no user may write).
#pragma once
#include <string>

struct BatchPlace {
  std::string folder;          // no trailing separator
  bool beside_program = true;  // false: the user's folder, which the closing message names
};

// Makes the folder chosen (the fallback with its parents). Where it cannot be made
// either, the batch's first save finds out and says so.
BatchPlace ChooseBatchFolder();

// The same choice between given folders: `beside` is the folder beside the executable
// ("" when the executable's folder is unknown, which counts as one that cannot be
// written), `user_folder` the one that receives "muchas" instead ("" when none is
// known: then the batch stays beside, or has no place at all, an empty folder).
// Records kErrorPathAccess when the beside folder exists already or cannot be made.
BatchPlace ChooseBatchFolderBetween(const std::string& beside, const std::string& user_folder);

// Whether a new file can be put in the folder, found out the one honest way: a probe
// file is saved there and removed at once. Permission bits alone would say yes to root
// on a read-only mount or in an immutable folder.
bool CanCreateFilesIn(const std::string& folder);
