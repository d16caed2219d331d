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

}
