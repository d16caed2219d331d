// CSV output of the curves and the motion.
#include "app/export.h"

#include <cstdio>
#include <string>

#include "app/output_file.h"
#include "core/state.h"
#include "dynamics/simulation_step.h"

namespace {

// A ratio as a CSV field: 17 significant digits, or nothing for a root that does not exist.
void put_ratio(std::FILE* f, double ratio)
{
    if (ratio > 0.0)
        std::fprintf(f, ",%.17g", ratio);
    else
        std::fputc(',', f);
}

void put_samples(std::FILE* f, const char* set, const char* parameter, const ResponsePoint samples[],
                 int count)
{
    for (int i = 0; i < count; ++i) {
        std::fprintf(f, "%s,%s,%d,%.17g", set, parameter, i, samples[i].amplitude);
        put_ratio(f, samples[i].z_high);
        put_ratio(f, samples[i].z_low);
        std::fputc('\n', f);
    }
}

void put_family(std::FILE* f, const char* set, const double values[],
                const ResponsePoint (*curves)[CURVE_CAPACITY])
{
    for (int k = 0; k < family_size; ++k) {
        char parameter[32];
        std::snprintf(parameter, sizeof parameter, "%.17g", values[k]);
        put_samples(f, set, parameter, curves[k], amp_steps + 1);
    }
}

}  // namespace

std::string export_curves_csv(const char* path)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    std::FILE* f = file.stream;
    std::fputs("set,parameter,index,amplitude,z_high,z_low\n", f);
    put_samples(f, "main", "", main_curve, amp_steps + 1);
    put_samples(f, "fold", "", main_folds, main_fold_count);
    for (int k = 0; k < crossing_count; ++k)
        std::fprintf(f, "crossing,%.17g,%d,%.17g,,\n", freq_ratio, k, crossings[k]);
    put_family(f, "epsilon_family", EPSILON_FAMILY, eps_curves);
    put_family(f, "force_family", FORCE_FAMILY, force_curves);
    return close_output(&file, true);
}

std::string export_motion_csv(const char* path, long frames)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    std::FILE* f = file.stream;
    std::fputs("frame,t,y,v,force\n", f);
    for (long frame = 0; frame <= frames; ++frame) {
        if (frame > 0)
            advance_frame();
        std::fprintf(f, "%ld,%.17g,%.17g,%.17g,%.17g\n", frame, sim_time, state[0], state[1],
                     trace_force[trace_index]);
    }
    return close_output(&file, true);
}
