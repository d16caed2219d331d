#pragma once
// Texts of the program that every platform shows.

// The window's title, UTF-8.
extern const char* const WINDOW_TITLE;
