// The Win32 message numbers and flags the program uses. On Windows they come from
// <windows.h>; elsewhere they are defined here with the same values.
#pragma once
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_NCDESTROY = 0x0082;
constexpr uint32_t WM_NCACTIVATE = 0x0086;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t SC_CLOSE = 0xF060;
constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t SIZE_MAXIMIZED = 2;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WS_MINIMIZE = 0x20000000;
constexpr uint32_t CC_RGBINIT = 0x1;
constexpr uint32_t CC_FULLOPEN = 0x2;
constexpr uint32_t CC_ENABLEHOOK = 0x10;
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;
constexpr uint32_t MB_OK = 0;
#endif
