#pragma once
// The name under which a picture of the window is saved, on the desktop (F2) and in the page
// (F2, Save picture).
#include <ctime>
#include <string>

// forced-vdp-YYYYMMDD-HHMMSS.png in local time; counter > 0 adds "-counter" before the
// extension, for a name already taken.
std::string picture_name(std::time_t when, int counter);
