// A choice the window keeps from one night to the next as one line in a small file of the
// game folder: the hall's screen, the page's port.
#pragma once
#include <string>

// The line kept in `file`, "" when none is.
std::string ReadKeptChoice(const std::string& path);
// "" when kept (or already so), else why not, naming `what` ("la pantalla de la sala").
std::string KeepChoice(const std::string& path, const std::string& value, const std::string& what);
