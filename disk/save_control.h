// What every save of the process shares, whatever the platform: whether saves wait for
// the disk, whether they have been abandoned, and which folders a batch holds (whose
// entries are flushed once at the batch's end). The platform's file-system services
// read these; file_system.h declares the calls that set them.
#pragma once
#include <string>

bool SavesFlushed();
// `folder` is the platform's absolute form of the folder, so that one folder is one key.
void MarkFolderInBatch(const std::string& folder, bool in_batch);
bool FolderInBatch(const std::string& folder);
