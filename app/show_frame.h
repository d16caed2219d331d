#pragma once
// A frame as the user meets it: the display callback of the platforms and the frame of every
// drawing key.

// Advances one frame (advance_frames; frames_per_drawn_frame while a sweep runs) and shows it
// (on_display). After the frame in which a sweep ends, writes its summary on the console.
// After the first frame of a run whose state is no longer finite, writes one console line
// saying that the motion has left the range of numbers; the picture goes on drawing
// everything else.
void show_frame();

// Draws the frame shown again (draw_frame), without showing it: the picture is then in the
// buffer frames are drawn into, as the window shows it. False, drawing nothing, when no frame
// has been advanced since the run was last started again (a dialog): the window then shows a
// frame of a run that is gone.
bool draw_shown_frame_again();
