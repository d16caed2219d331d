#pragma once
// The page around the program: its title, the canvas and the keys the page hands in. The
// page's script (page.js) holds the console panel, the input line and the buttons.

// Shows the title and makes the canvas's WebGL context current; false, after telling the
// page, when the browser gives the canvas no WebGL.
bool open_page();

// The window phase: draws the first frame, as the desktop does when its window first
// appears, and lets the page hand in keys.
void start_page();

extern "C" {
// One key from the page (a key of the keyboard or an on-screen button): what the desktop's
// keyboard callback does with it. 'm', 'f' and 'j' return only once their dialog is answered.
void page_key(int key);

// The change of view that key makes, without drawing: lets a page start with the view that
// keys would give (a family shown before the first frame).
void page_view_key(int key);
}
