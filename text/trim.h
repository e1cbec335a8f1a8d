// Trimming what a person types or a line holds: spaces, tabs and line ends at either end.
#pragma once
#include <string>

// The text without the spaces, tabs, CRs and LFs around it ("" when it holds only those).
std::string Trimmed(const std::string& text);
