// Linked with -Wl,--wrap=calloc into a copy of the program: every calloc made by the
// program's own code fails, as when memory is exhausted. Libraries keep the real one.
#include <cstddef>

extern "C" void* __wrap_calloc(std::size_t, std::size_t)
{
    return nullptr;
}
