#pragma once
// Heap requests made with calloc by the program's own code, in a binary linked with
// -Wl,--wrap=calloc,--wrap=free.

// calloc requests that succeeded since the process started.
long scratch_requests();
// Of those, the ones not yet released.
long scratch_held();
