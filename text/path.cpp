#include "text/path.h"

#include <cstring>

std::string JoinedPath(const std::string& folder, const std::string& name,
                       const char* separators) {
  if (folder.empty()) return name;
  if (folder.back() != '\0' && std::strchr(separators, folder.back()) != nullptr)
    return folder + name;
  return folder + separators[0] + name;
}
