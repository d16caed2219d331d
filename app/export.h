#pragma once
// Data out for plotting elsewhere: the amplitude curves, the motion, its stroboscopic points
// and the sweep as CSV text, every number with 17 significant digits so that it reads back to
// the same double. The platform that writes files lands the text
// (platform/desktop/data_files.h).
#include <cstddef>
#include <string>

#include "core/types.h"

// The curves the dialog computed, one tidy table with the header
//   set,parameter,index,amplitude,z_high,z_low,class_high,class_low
// set main (samples 0 ... amp_steps), fold (the main curve's fold records), crossing (the
// amplitudes where z meets the main curve; parameter z), epsilon_family and force_family
// (parameter: the member's epsilon or F). A root that does not exist is an empty field. The
// classes are each root's stability (stable, saddle, unstable, neutral; empty where the root
// is missing); a crossing's is in class_high.
std::string curves_csv();

// The motion from the current state for frames 0 ... frames, with the header
//   frame,t,y,v,force,harmonic_amplitude
// at the end of each frame (harmonic_amplitude: the measured first-harmonic amplitude of the
// last whole forcing period, empty before one has passed), advanced exactly as the window's
// frames advance it (frame 0 is the state as it stands), in blocks: each call appends the rows
// from frame *next on (the header first when *next is 0) until rows holds MOTION_BLOCK_BYTES or
// frame `frames` is written, and leaves *next at the first frame not written. Returns whether
// a row written has left the range of numbers.
constexpr std::size_t MOTION_BLOCK_BYTES = 1 << 16;   // one write per row would cost more
bool append_motion_rows(long* next, long frames, std::string* rows);

// The stroboscopic points of the motion from the current state over frames 1 ... frames, with
// the header
//   k,t,y,v                          (k,t,y,v,second_y,second_v where a second start runs)
// one row per point as the motion takes it (k: forcing periods since the run began, t = k 2 pi
// / z), advanced exactly as the window's frames advance it, in blocks: each call advances from
// frame *next on (the header first when *next is 0) until rows holds MOTION_BLOCK_BYTES or frame
// `frames` is reached, and leaves *next at the first frame not advanced; *written counts the
// points written (strobe_count's), so that no point of a run longer than the strobe ring is
// lost. Returns whether a point written has left the range of numbers.
bool append_strobe_rows(long* next, long frames, long* written, std::string* rows);

// The records of the last sweep, one row per ratio it left, with the header
//   direction,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class
// direction up or down; state locked, period N, drifting or settling; strobe_period empty
// where none was found; rotation, drift, spread and harmonic_amplitude empty where not known;
// hb_class the stability class of the crossing nearest the measured amplitude, empty where z
// meets no curve.
std::string sweep_csv();

// The measures of an entrainment window as the sweep's rows and the map's write them: the
// state's word (locked, period N, drifting, settling), then ",strobe_period,rotation,drift,
// spread" (strobe_period empty where none was found, a measure not known empty).
void append_state_word(std::string* out, MotionState state, int strobe_period);
void append_measure_columns(std::string* out, const EntrainmentMeasure& m);
