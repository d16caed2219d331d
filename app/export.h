#pragma once
// Data out for plotting elsewhere: the amplitude curves and the motion as CSV, every number
// with 17 significant digits so that it reads back to the same double.
#include <string>

// The curves the dialog computed, one tidy table with the header
//   set,parameter,index,amplitude,z_high,z_low,class_high,class_low
// set main (samples 0 ... amp_steps), fold (the main curve's fold records), crossing (the
// amplitudes where z meets the main curve; parameter z), epsilon_family and force_family
// (parameter: the member's epsilon or F). A root that does not exist is an empty field. The
// classes are each root's stability (stable, saddle, unstable, neutral; empty where the root
// is missing); a crossing's is in class_high.
// Writes to path ("-": standard output); returns an empty string, or what went wrong.
std::string export_curves_csv(const char* path);

// The same table as text, for a platform that hands it on itself (the page's download).
std::string curves_csv();

// The motion from the current state for frames 0 ... frames, with the header
//   frame,t,y,v,force,harmonic_amplitude
// at the end of each frame (harmonic_amplitude: the measured first-harmonic amplitude of the
// last whole forcing period, empty before one has passed), advanced exactly as the window's
// frames advance it (frame 0 is the state as it stands). Leaves the state advanced by frames. Returns as export_curves_csv.
std::string export_motion_csv(const char* path, long frames);

// The records of the last sweep, one row per ratio it left, with the header
//   direction,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class
// direction up or down; state locked, period N, drifting or settling; strobe_period empty
// where none was found; rotation, drift, spread and harmonic_amplitude empty where not known;
// hb_class the stability class of the crossing nearest the measured amplitude, empty where z
// meets no curve. Returns as export_curves_csv.
std::string export_sweep_csv(const char* path);

// The same table as text.
std::string sweep_csv();
