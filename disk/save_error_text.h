// The words for why a file could not be saved, shared by every program's messages.
#pragma once
#include "disk/file_system.h"

// "disco lleno", "sin permiso", ...; "" when there is nothing better to say than the
// file's name.
const char* SaveErrorText(SaveError error);
