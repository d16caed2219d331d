#pragma once
// The window title as the X window system shows it.

// Publishes title (UTF-8) on the window of the current GLX context as _NET_WM_NAME and as a
// WM_NAME that decodes to the same text, and the same for the icon name.
void publish_utf8_title(const char* title);
