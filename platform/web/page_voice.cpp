// The motion in words and as sound in the page: what its script (page_voice.js) asks of the
// program. The sentences and the sound are app/'s (describe.h, sound.h), as on the desktop.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "app/describe.h"
#include "app/sound.h"
#include "app/texts.h"

extern "C" {

// The sound starts at `rate` samples a second (the audio context's): silent until frames
// advance, the voice taking the motion as it stands.
EMSCRIPTEN_KEEPALIVE void page_sound_start(double rate)
{
    start_sound(rate);
}

// The next count samples (sound_block) at now_ms, the page's performance.now(); valid until
// the next call.
EMSCRIPTEN_KEEPALIVE const float* page_sound_block(int count, int force_voice, double now_ms)
{
    static std::vector<float> samples;
    samples.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    sound_block(samples.data(), static_cast<int>(samples.size()), force_voice != 0, now_ms);
    return samples.data();
}

// What the live region says now (motion_announcement), in the console's language; "" for
// nothing new. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* page_motion_words(double now_ms)
{
    static std::string said;
    said = motion_announcement(motion_facts(), now_ms, console_language);
    return said.c_str();
}

// The volume control's name: 1 English, 0 Japanese.
EMSCRIPTEN_KEEPALIVE const char* page_volume_name(int english)
{
    return text_in(english != 0 ? Language::english : Language::japanese, PAGE_VOLUME);
}

}
