#pragma once
// The window's picture saved as a PNG file.
#include <ctime>
#include <string>

// Writes the frame just drawn and not yet shown (the back buffer, whose contents are defined
// until the swap, unlike the front buffer's) to path as PNG, at the window's size. Returns an
// empty string, or what went wrong.
std::string save_window_picture(const char* path);

// Reserves a name in the current folder for a picture saved at the time given:
// forced-vdp-YYYYMMDD-HHMMSS.png, with -1, -2, ... before the extension while a file of that
// name exists. The name is taken by creating an empty file under it, so that no other writer
// gets it too; saving the picture then replaces that file. Returns an empty string where no
// name could be had (errno says why).
std::string reserve_picture_name(std::time_t when);
