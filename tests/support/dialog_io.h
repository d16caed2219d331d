#pragma once
// Runs the console dialog with its real standard input and output redirected to files.
#include <functional>
#include <string>

// Runs action with input as what is typed at the console; returns what it wrote to standard
// output.
std::string run_with_console(const std::string& input, const std::function<void()>& action);

// Runs input_parameters from entry `key` with `input` as standard input; returns what it wrote
// to standard output.
std::string run_dialog(char key, const std::string& input);

// utf8 as the console writes it on this machine.
std::string console_text(const std::string& utf8);
