// Data tables and the sound into files.
#include "platform/desktop/data_files.h"

#include <cstring>

#include "app/console.h"
#include "app/export.h"
#include "app/locking_map.h"
#include "app/sound.h"
#include "app/texts.h"
#include "core/state.h"
#include "dynamics/voice.h"
#include "platform/desktop/map_threads.h"
#include "platform/desktop/output_file.h"

#include <chrono>
#include <thread>

namespace {

constexpr int MAP_WRITE_WAIT_MS = 2;   // between two looks for rows to write

}  // namespace

std::string write_table_file(const char* path, const std::string& table)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    write_output(&file, table.data(), table.size());
    return close_output(&file, true);
}

namespace {

// A table written block by block as it is computed: each call of append_block appends the next
// block of rows, says whether a row has left the range of numbers, and moves `next` on; done
// once next passes last.
template <typename AppendBlock>
std::string write_blocks(const char* path, const long& next, long last, AppendBlock append_block)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    std::string rows;
    bool overflowed = false;
    for (; next <= last && file.error == 0; rows.clear()) {
        overflowed = append_block(&rows) || overflowed;
        write_output(&file, rows.data(), rows.size());
    }
    // The window's note, once, where the window would have given it.
    if (overflowed && !motion_lost_told) {
        console_write(text(MOTION_OUT_OF_RANGE));
        motion_lost_told = true;
    }
    return close_output(&file, true);
}

}  // namespace

std::string write_motion_file(const char* path, long frames)
{
    long next = 0;
    return write_blocks(path, next, frames,
                        [&](std::string* rows) { return append_motion_rows(&next, frames, rows); });
}

std::string write_strobe_file(const char* path, long frames)
{
    long next = 0;
    long written = 0;
    return write_blocks(path, next, frames, [&](std::string* rows) {
        return append_strobe_rows(&next, frames, &written, rows);
    });
}

std::string write_audio_file(const char* path, long samples, bool force_voice)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    Voice voice;
    start_voice(&voice, sim_time, state, AUDIO_RATE);
    std::string bytes = wav_header(samples);
    for (long next = 0; file.error == 0; bytes.clear()) {
        append_audio_block(&voice, &next, samples, force_voice, &bytes);
        if (bytes.empty())
            break;
        write_output(&file, bytes.data(), bytes.size());
    }
    return close_output(&file, true);
}

std::string write_map_file(const char* path, const MapRun& run, bool keep_cells)
{
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    begin_map_job(run, keep_cells, true);
    start_map_threads();
    write_output(&file, MAP_CSV_HEADER, std::strlen(MAP_CSV_HEADER));
    std::string rows;
    for (bool last = false; !last && file.error == 0; rows.clear()) {
        last = append_streamed_map_rows(&rows);
        write_output(&file, rows.data(), rows.size());
        if (!last && rows.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(MAP_WRITE_WAIT_MS));
    }
    // A write that failed gives the job up: the threads stop at their next look.
    stop_map_job();
    join_map_threads();
    return close_output(&file, true);
}
