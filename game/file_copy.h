// A copy of a file of any size, made a piece at a time so that it is never held whole in
// memory: how a game file too large to be read is still kept aside. One small file per
// platform.
#pragma once
#include <string>

#include "disk/file_system.h"

// The copy is put in place whole or not at all, as ReplaceFileWith does.
SaveError CopyFileInPieces(const std::string& from, const std::string& to);
