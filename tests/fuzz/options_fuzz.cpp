// Fuzzes the command line: the input, split at NUL bytes, is the argument list after the
// program's name. Checks what any accepted command line holds and that a refusal is one line.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"

namespace {

void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void check_number(const std::optional<double>& v, const char* what)
{
    check(!v || std::isfinite(*v), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args = {"forced-vdp"};
    std::string arg;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(arg);
            arg.clear();
        } else {
            arg.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(arg);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());

    Options options;
    const std::string error = parse_options(static_cast<int>(argv.size()), argv.data(), &options);
    check(error.find('\n') == std::string::npos, "a refusal is one line");
    check(!options.window_args.empty() && options.window_args[0] == argv[0], "argv[0] first");
    check(options.window_args.size() <= argv.size(), "no more window arguments than given");
    for (const char* w : options.window_args) {
        bool from_argv = false;
        for (const char* a : argv)
            from_argv = from_argv || w == a;
        check(from_argv, "window arguments are the command line's own");
    }
    if (!error.empty())
        return 0;
    check_number(options.epsilon, "eps finite");
    check_number(options.force, "force finite");
    check_number(options.z, "z finite");
    check_number(options.y0, "y0 finite");
    check_number(options.v0, "v0 finite");
    check(options.family == 0 || options.family == 'e' || options.family == 'E', "family e or E");
    check(!options.frames || (*options.frames >= 0 && *options.frames <= MAX_FRAMES), "frames");
    check(has_parameters(options) == (options.epsilon || options.force || options.z ||
                                      options.y0 || options.v0),
          "has_parameters says whether any value was given");
    return 0;
}
