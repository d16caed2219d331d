#pragma once
// What the window needs of X itself, beyond GLUT.

// Publishes title (UTF-8) on the window of the current GLX context as _NET_WM_NAME and as a
// WM_NAME that decodes to the same text, and the same for the icon name.
void publish_utf8_title(const char* title);

// Resizes the window of the current GLX context to width x height pixels and waits until the
// X server has done it, unlike GLUT's resize, which waits for the event loop.
void resize_window_now(int width, int height);

// Lets the program live through the X errors of a frame drawn while the window is larger than
// it takes (see on_reshape); call once the window exists.
void survive_oversized_frames();

// Removes the key presses and releases queued for the window of the current GLX context,
// those still on their way from the X server included.
void drop_queued_keys();
