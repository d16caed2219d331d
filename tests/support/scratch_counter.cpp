// Linked with -Wl,--wrap=calloc,--wrap=free into the long-run tests: counts the integrator's
// heap requests (the program's only dynamic storage) and which of them are still held, so
// that a leak of our own storage shows without the renderer's process-lifetime allocations.
#include "tests/support/scratch_counter.h"

#include <unordered_set>

extern "C" void* __real_calloc(std::size_t count, std::size_t size);
extern "C" void __real_free(void* p);

namespace {
std::unordered_set<void*>& held()
{
    static std::unordered_set<void*> set;
    return set;
}
long requests = 0;
}  // namespace

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    void* p = __real_calloc(count, size);
    if (p != nullptr) {
        ++requests;
        held().insert(p);
    }
    return p;
}

extern "C" void __wrap_free(void* p)
{
    held().erase(p);
    __real_free(p);
}

long scratch_requests()
{
    return requests;
}

long scratch_held()
{
    return static_cast<long>(held().size());
}
