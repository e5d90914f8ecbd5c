// Names shared by every instance of the installer: the single-instance mutex
// and IPC window class, and the window messages between and inside them.
#pragma once

#include <windows.h>

// Mutex name and IPC window class name (mixed case exactly as is).
inline constexpr wchar_t kInstanceGuid[] = L"{2266E930-7040-4A6B-B7C8-E44663785Bdd}";

// Posted by a second instance to the running instance's IPC window;
// WPARAM 0, LPARAM 0: show and raise the main window.
inline constexpr UINT MSG_SHOW_MAINFRAME = 11123;

// Posted to the dispatcher window: WPARAM owner key, LPARAM Runable*.
inline constexpr UINT MSG_RUN_TASK = 8888;
