// Reading the file in which xdg-user-dirs names a user's folders (user-dirs.dirs): lines
// such as XDG_PICTURES_DIR="$HOME/Imágenes", read as xdg-user-dirs itself reads them.
#pragma once
#include <string>

// The folder that the text of a user-dirs.dirs names for `kind` ("PICTURES" for
// XDG_PICTURES_DIR), with a leading "$HOME/" replaced by `home`; "" when it names none.
// A line counts only if its value is quoted and is "$HOME/..." or absolute; backslash
// keeps the next character as it is; of several lines the last one counts. A value that
// is not absolute once $HOME is expanded (a relative home) is ignored.
std::string UserDirFromText(const std::string& text, const std::string& kind,
                            const std::string& home);
