// A name inside a folder, as text: the platform's separators are the caller's to give
// (disk/ knows them), so this holds no platform.
#pragma once
#include <string>

// folder + separator + name, with no second separator where the folder already ends in
// one of `separators` (whose first is the one added), and the name alone for no folder.
std::string JoinedPath(const std::string& folder, const std::string& name,
                       const char* separators);
