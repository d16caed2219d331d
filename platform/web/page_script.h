#pragma once
// What the page's script (page_library.js) does for the program.
extern "C" {

// The page's own texts in Japanese and in English, "name<TAB>text" lines in UTF-8, the rows of
// the controls table (lines of tab-separated fields, as page.cpp writes them), and whether the
// page starts in English.
void page_show_texts(const char* japanese, const char* english, const char* controls, int in_english);
// Says on the page that the browser gives the canvas no WebGL.
void page_report_no_webgl();
// Counts a frame that has been drawn and shown.
void page_frame_drawn();
// The program waits for the next key: the dialog, if one was open, is over.
void page_idle();
// Starts the Run clock, as the Run button does, unless it runs: a sweep given at the start.
void page_run_now();
// The parameters of the page's address: how many; the bytes (with the terminating zero)
// of the name (part 0) or value (part 1) of the i-th as UTF-8; and that text into a buffer of
// the given size. The one after the last has an empty name and the address's fragment (what
// follows '#', decoded) as its value.
int page_parameter_count();
int page_parameter_size(int i, int part);
void page_parameter(int i, int part, char* text, int size);
// Fits the canvas's drawing buffer to its displayed size times the device's pixel ratio
// (at most 2400 a side): returns the side in pixels, and the pixels per CSS pixel
// in *pixels_per_css_pixel.
int page_fit_canvas(float* pixels_per_css_pixel);
// Has the page advance frames frames in steps (page_advance_step), showing how far it is and
// answering the user between the steps, then draw the first frame (page_start).
void page_advance_frames(int frames);

}
