#pragma once
// The program's data tables landed as files (output_file.h): each returns an empty string, or
// what went wrong. path "-" is standard output.
#include <string>

#include "core/types.h"

// A whole table of text (app/export.h's curves and sweep).
std::string write_table_file(const char* path, const std::string& table);

// The locking map of run over the grid asked for (app/locking_map.h's rows), computed by the
// map's threads and written in order as its cells are decided: whatever the grid, no more
// than MAP_STREAM_CAPACITY verdicts wait. keep_cells: its cells are kept for its picture too.
std::string write_map_file(const char* path, const MapRun& run, bool keep_cells);

// The motion for frames 0 ... frames (app/export.h's append_motion_rows), written block by
// block as it is computed; leaves the state advanced by frames. A motion that leaves the range
// of numbers gets the window's console note, once.
std::string write_motion_file(const char* path, long frames);

// The motion as sound from the state as it stands (app/sound.h): a WAV file of `samples`
// samples, the force as a second voice with force_voice. Leaves the motion as it is.
std::string write_audio_file(const char* path, long samples, bool force_voice);

// The stroboscopic points of frames 1 ... frames (app/export.h's append_strobe_rows), as
// write_motion_file writes the motion.
std::string write_strobe_file(const char* path, long frames);
