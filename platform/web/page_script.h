#pragma once
// What the page's script (page_library.js) does for the program.
extern "C" {

// Shows the program's title as the document's title.
void page_set_title(const char* utf8);
// Says on the page that the browser gives the canvas no WebGL.
void page_report_no_webgl();
// Counts a frame that has been drawn and shown.
void page_frame_drawn();
// The program waits for the next key: the dialog, if one was open, is over.
void page_idle();
// Shows a message of the page's own (not console output), UTF-8.
void page_say(const char* utf8);
// The parameters of the page's address: how many, and the name and value of the i-th as
// UTF-8 into buffers of the given sizes (cut to fit).
int page_parameter_count();
void page_parameter(int i, char* name, int name_size, char* value, int value_size);

}
