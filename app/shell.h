// The application shell: the main routine, the main window with its picture, the menu
// "Operaciones" and the callback through which every command of the user arrives.
#pragma once
#include <cstdint>

// The picture control that shows (and saves) the card.
constexpr int32_t IDC_CARD_VIEW = 1001;
constexpr int32_t IDM_NEW_ONE = 1002;
constexpr int32_t IDM_PHOTOCOPY = 1003;
constexpr int32_t IDM_AUTHOR = 1004;
constexpr int32_t IDM_EXIT = 1005;
constexpr int32_t IDM_CHOOSE_COLOUR = 1006;
constexpr int32_t IDM_MANY = 1007;

constexpr const char* kAuthorAddress = "https://tessarine.example.org";

// Sets the default card colour, runs the main window until the user leaves; 0.
int MainRoutine();
// Creates the main window, its picture and menu, and runs it; the window's end result.
int32_t CreateAndRunMainWindow(uint32_t parent);
// A new menu with the swatch of the current card colour, attached to the window.
void BuildMenu(uint32_t main_window);
int32_t CommandCallback(uint32_t window, uint32_t message, uint32_t wparam, int32_t lparam);
