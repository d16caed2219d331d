// Fuzzes the command line: the input, split at NUL bytes, is the argument list after the
// program's name. Checks what any accepted command line holds and that a refusal is one line.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"

// A platform's own options, as a window system might have them.
static constexpr PlatformOption PLATFORM_OPTIONS[] = {{"-display", true}, {"-iconic", false}};

static void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args = {"forced-vdp", ""};
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());

    Options o;
    const std::string error = parse_options(static_cast<int>(argv.size()), argv.data(), &o, PLATFORM_OPTIONS);
    check(error.find('\n') == std::string::npos, "a refusal is one line");
    for (const char* w : o.platform_args)
        check(std::find(argv.begin(), argv.end(), w) != argv.end(), "platform arguments are argv's");
    if (!error.empty())
        return 0;
    for (const auto& v : {o.epsilon, o.force, o.z, o.y0, o.v0})
        check(!v || std::isfinite(*v), "a number taken is finite");
    check(o.family == 0 || o.family == 'e' || o.family == 'E', "family e or E");
    check(!o.frames || (*o.frames >= 0 && *o.frames <= MAX_FRAMES), "frames within range");
    check(has_parameters(o) == (o.epsilon || o.force || o.z || o.y0 || o.v0),
          "has_parameters says whether any value was given");
    return 0;
}
