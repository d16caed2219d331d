// CSV output of the curves, the motion, its stroboscopic points and the sweep.
#include "app/export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/phase_record.h"
#include "dynamics/simulation_step.h"
#include "response/stability.h"

namespace {

// Appends one formatted line; the longest is a family row of six numbers of 17 digits.
template <typename... Values>
void append(std::string* out, const char* format, Values... values)
{
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    *out += line;
}

// A ratio as a CSV field: 17 significant digits, or nothing for a root that does not exist.
void append_ratio(std::string* out, double ratio)
{
    if (ratio > 0.0)
        append(out, ",%.17g", ratio);
    else
        *out += ',';
}

// The stability of the root at ratio z as a CSV field, or nothing where the root is missing.
void append_class(std::string* out, double eps, double z, double r)
{
    *out += ',';
    if (z > 0.0)
        *out += response_class_name(classify_response(eps, z, r));
}

// Samples of a curve for eps.
void append_samples(std::string* out, const char* set, const char* parameter,
                    const ResponsePoint samples[], int count, double eps)
{
    for (int i = 0; i < count; ++i) {
        append(out, "%s,%s,%d,%.17g", set, parameter, i, samples[i].amplitude);
        append_ratio(out, samples[i].z_high);
        append_ratio(out, samples[i].z_low);
        append_class(out, eps, samples[i].z_high, samples[i].amplitude);
        append_class(out, eps, samples[i].z_low, samples[i].amplitude);
        *out += '\n';
    }
}

// A family; its members' eps are values when eps_family, else all the typed epsilon.
void append_family(std::string* out, const char* set, const double values[],
                   const ResponsePoint (*curves)[CURVE_CAPACITY], bool eps_family)
{
    for (int k = 0; k < family_size; ++k) {
        char parameter[32];
        std::snprintf(parameter, sizeof parameter, "%.17g", values[k]);
        append_samples(out, set, parameter, curves[k], amp_steps + 1,
                       eps_family ? values[k] : epsilon);
    }
}

}  // namespace

std::string curves_csv()
{
    std::string out = "set,parameter,index,amplitude,z_high,z_low,class_high,class_low\n";
    append_samples(&out, "main", "", main_curve, amp_steps + 1, epsilon);
    append_samples(&out, "fold", "", main_folds, main_fold_count, epsilon);
    // A crossing has one root, at the given z: its class stands in class_high.
    for (int k = 0; k < crossing_count; ++k) {
        append(&out, "crossing,%.17g,%d,%.17g,,", freq_ratio, k, crossings[k]);
        append_class(&out, epsilon, freq_ratio, crossings[k]);
        out += ",\n";
    }
    append_family(&out, "epsilon_family", EPSILON_FAMILY, eps_curves, true);
    append_family(&out, "force_family", FORCE_FAMILY, force_curves, false);
    return out;
}

namespace {

// A measure as a CSV field: 17 significant digits, or nothing where it is not known.
void append_measure(std::string* out, double value)
{
    if (std::isnan(value))
        *out += ',';
    else
        append(out, ",%.17g", value);
}

}  // namespace

void append_state_word(std::string* out, MotionState state, int strobe_period)
{
    switch (state) {
    case MotionState::settling: *out += "settling"; break;
    case MotionState::locked: *out += "locked"; break;
    case MotionState::periodic: append(out, "period %d", strobe_period); break;
    case MotionState::drifting: *out += "drifting"; break;
    }
}

void append_measure_columns(std::string* out, const EntrainmentMeasure& m)
{
    *out += ',';
    if (m.strobe_period > 0)
        append(out, "%d", m.strobe_period);
    append_measure(out, m.rotation);
    append_measure(out, m.drift);
    append_measure(out, m.spread);
}

std::string sweep_csv()
{
    std::string out =
        "direction,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class\n";
    for (int i = 0; i < sweep_record_count; ++i) {
        const SweepRecord& r = sweep_records[i];
        const EntrainmentMeasure& m = r.measure;
        append(&out, "%s,%.17g,", r.up ? "up" : "down", r.z);
        append_state_word(&out, m.state, m.strobe_period);
        append_measure_columns(&out, m);
        append_measure(&out, r.harmonic_amplitude);
        out += ',';
        if (r.hb_class >= 0)
            out += response_class_name(static_cast<ResponseClass>(r.hb_class));
        out += '\n';
    }
    return out;
}

bool append_motion_rows(long* next, long frames, std::string* rows)
{
    if (*next == 0)
        *rows += "frame,t,y,v,force,harmonic_amplitude\n";
    bool overflowed = false;
    for (; *next <= frames && rows->size() < MOTION_BLOCK_BYTES; ++*next) {
        if (*next > 0)
            advance_frame();
        append(rows, "%ld,%.17g,%.17g,%.17g,%.17g,", *next, sim_time, state[0], state[1],
               trace_force[trace_index]);
        double r = 0.0;
        if (last_measured_amplitude(&r))
            append(rows, "%.17g", r);
        *rows += '\n';
        overflowed = overflowed || !std::isfinite(state[0]) || !std::isfinite(state[1]);
    }
    return overflowed;
}

bool append_strobe_rows(long* next, long frames, long* written, std::string* rows)
{
    if (*next == 0) {
        *rows += second_start_given ? "k,t,y,v,second_y,second_v\n" : "k,t,y,v\n";
        *next = 1;
    }
    bool overflowed = false;
    for (; *next <= frames && rows->size() < MOTION_BLOCK_BYTES; ++*next) {
        advance_frame();
        // The measures restart where z changes: their count with them.
        *written = std::min(*written, strobe_count);
        // A frame takes at most one point a step, far fewer than the ring holds.
        const long fresh = strobe_count - *written;
        const std::span<const StrobePoint> points = recent_strobe_points(fresh);
        const std::span<const StrobePoint> second = recent_second_points(fresh);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const StrobePoint& p = points[i];
            append(rows, "%ld,%.17g,%.17g,%.17g", p.k, p.t, p.y, p.v);
            if (second_start_given)
                append(rows, ",%.17g,%.17g", second[i].y, second[i].v);
            *rows += '\n';
            overflowed = overflowed || !std::isfinite(p.y) || !std::isfinite(p.v);
        }
        *written = strobe_count;
    }
    return overflowed;
}
