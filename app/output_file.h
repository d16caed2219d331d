#pragma once
// Files the program writes (pictures, data): whole or not at all.
#include <cstdio>
#include <string>

struct OutputFile {
    std::FILE* stream = nullptr;   // where to write
    std::string path;              // the name asked for; "-" is standard output
    std::string temporary;         // the name written under until the file is complete
};

// Opens path for writing under a temporary name beside it ("-": standard output). Returns an
// empty string, or what went wrong.
std::string open_output(const char* path, OutputFile* file);

// Finishes the file: flushes it and renames it to its path. With ok false, or on any error,
// removes the temporary file instead. Returns an empty string, or what went wrong.
std::string close_output(OutputFile* file, bool ok);
