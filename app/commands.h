// The commands "Fotocopia" and "Muchas" of the main window, and the one way the
// program tells the user something.
#pragma once
#include <cstdint>
#include <string>

// Every message of the program to the user: one OK button, the title "Programador".
void TellUser(const std::string& text);

// Both talk to the user: the answer asked for, the outcome told.
void Photocopy(uint32_t main_window);
void Batch(uint32_t main_window);
