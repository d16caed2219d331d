// Fuzzes the console dialog with arbitrary byte streams at each entry point. The first byte
// chooses the entry ('m', 'f' or 'j'); the rest is standard input.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/dialog.h"
#include "core/state.h"

namespace {

void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Each parameter afterwards is what it was before or a finite value that was read.
void check_parameter(double before, double after, const char* what)
{
    check(std::memcmp(&before, &after, sizeof before) == 0 || std::isfinite(after), what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The dialog's texts are of no interest here.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char entries[] = {'m', 'f', 'j'};
    command_key = size > 0 ? entries[data[0] % 3] : 'm';
    const std::uint8_t* text = size > 0 ? data + 1 : data;
    const std::size_t text_size = size > 0 ? size - 1 : 0;

    // The values held before: fixed, so that "kept" is recognisable.
    epsilon = 0.3;
    force_amp = 0.6;
    freq_ratio = 1.2;
    y_init = 0.1;
    v_init = 0.2;
    trace_dx = 0.001;

    FILE* in = text_size > 0 ? fmemopen(const_cast<std::uint8_t*>(text), text_size, "r")
                             : std::fopen("/dev/null", "r");
    check(in != nullptr, "input stream");
    FILE* saved = stdin;
    stdin = in;
    input_parameters();
    stdin = saved;
    std::fclose(in);

    check_parameter(0.3, epsilon, "epsilon");
    check_parameter(0.6, force_amp, "force_amp");
    check_parameter(1.2, freq_ratio, "freq_ratio");
    check_parameter(0.1, y_init, "y_init");
    check_parameter(0.2, v_init, "v_init");
    check(command_key != 'j' || epsilon == 0.3, "'j' reads no epsilon");
    check(state[0] == y_init && state[1] == v_init && sim_time == 0.0, "run reset");
    check(trace_len == 200 && trace_index == 0, "view reset");
    check(crossing_count >= 0 && crossing_count <= CROSSING_CAPACITY, "crossing count");
    return 0;
}
