#pragma once
// A frame as the user meets it: the display callback of the platforms and the frame of every
// drawing key.

// Draws one frame (on_display), after the frame owed unseen by advance_to_frame if any. After
// the first frame of a run whose state is no longer finite, writes one console line saying that the motion has left the range of numbers; the
// picture goes on drawing everything else.
void show_frame();
