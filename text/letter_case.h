// Upper case where a sentence or a heading needs it, for the project's own Spanish texts.
#pragma once
#include <string>

// The first letter in upper case when it is an ASCII one: "línea" gives "Línea".
std::string Capitalised(const std::string& text);
