#pragma once
// Files the program writes (pictures, data), landing as command-line tools land theirs: a
// regular file appears whole or not at all and keeps its permissions when replaced; a device,
// a FIFO or an open descriptor (/dev/stdout, /dev/fd/N, a shell's >(command)) is written in
// place; a symbolic link is followed. A regular file with other hard links, or one in a folder
// this user may not write, is written in place too (replacing it would split the links, or
// cannot be done): there an interrupted write leaves it part written.
#include <cstddef>
#include <cstdio>
#include <string>

struct OutputFile {
    std::FILE* stream = nullptr;   // where to write
    std::string path;              // the name asked for; "-" is standard output
    std::string target;            // what path names once its symbolic links are followed
    bool replacing = false;        // written under a temporary name, renamed over target
    int error = 0;                 // errno of the first write that failed; 0 while none has
};

// Set when the program started with descriptor 1 closed (a /dev/null stands in for it):
// writing "-", or a /proc name of descriptor 1, then fails with EBADF rather than vanish.
extern bool standard_output_closed;

// Opens path for writing ("-": standard output). A regular file or a new name is written
// under a temporary name beside the target, which a SIGINT, SIGTERM or SIGHUP removes before
// the process ends. Returns an empty string, or what went wrong.
std::string open_output(const char* path, OutputFile* file);

// Writes size bytes; on failure keeps errno in file->error and returns false.
bool write_output(OutputFile* file, const void* data, std::size_t size);

// Finishes the file: flushes it and, for a temporary one, renames it to its target. With ok
// false, or on any error, removes the temporary file instead. Returns an empty string, or what
// went wrong (the cause named from errno).
std::string close_output(OutputFile* file, bool ok);

// Whether the two output names land in the same place: both "-", the same file or device
// (standard output included), or the same name once links are followed.
bool same_output(const char* a, const char* b);
