#pragma once
// Runs the console dialog with its real standard input and output redirected to files.
#include <string>

// Runs input_parameters from entry `key` with `input` as standard input; returns what it wrote
// to standard output.
std::string run_dialog(char key, const std::string& input);

// utf8 as the console writes it on this machine.
std::string console_text(const std::string& utf8);
