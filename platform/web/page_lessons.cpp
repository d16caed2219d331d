// The lessons in the page: what its script (page_lessons.js) asks of the program. The lessons
// and their texts are app/lessons.h's, as on the desktop.
#include <emscripten/emscripten.h>

#include <string>

#include "app/lessons.h"
#include "app/options.h"
#include "app/run.h"
#include "app/texts.h"
#include "core/state.h"
#include "platform/web/page.h"

namespace {

// A text of the console's as the panel shows it: without its leading blanks and line end.
std::string panel_text(Language l, Text id)
{
    std::string text = text_in(l, id);
    text.erase(0, text.find_first_not_of(' '));
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

}  // namespace

extern "C" {

// The lessons and the panel's texts in a language (1 English, 0 Japanese), a line each, its
// fields separated by tabs: "text", a name and a text for each of the panel's own texts; then
// for each lesson "lesson", its id, title and summary, and after it for each step "step", the
// right choice's index, the question, why, what to look at and the choices. Valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* page_lessons(int english)
{
    static constexpr struct {
        const char* name;
        Text id;
    } TEXTS[] = {
        {"heading", PAGE_LESSONS}, {"place", PAGE_LESSON_PLACE}, {"choose", PAGE_LESSON_CHOOSE},
        {"right", PAGE_LESSON_RIGHT}, {"wrong", PAGE_LESSON_WRONG}, {"look", LESSON_LOOK},
        {"back", PAGE_LESSON_BACK}, {"next", PAGE_LESSON_NEXT}, {"list", PAGE_LESSON_LIST},
        {"leave", PAGE_LESSON_LEAVE}, {"leaveHelp", PAGE_LESSON_LEAVE_HELP},
    };
    static std::string all;
    const Language l = english != 0 ? Language::english : Language::japanese;
    all.clear();
    for (const auto& entry : TEXTS)
        all += std::string("text\t") + entry.name + "\t" + panel_text(l, entry.id) + "\n";
    for (const Lesson& lesson : LESSONS) {
        all += std::string("lesson\t") + lesson.id + "\t" + in_language(lesson.title, l) + "\t" +
               in_language(lesson.summary, l) + "\n";
        for (const LessonStep& step : lesson.steps) {
            all += "step\t" + std::to_string(step.right) + "\t" + in_language(step.question, l) +
                   "\t" + in_language(step.why, l) + "\t" + in_language(step.look, l);
            for (int i = 0; i < choice_count(step); ++i)
                all += std::string("\t") + in_language(step.choices[i], l);
            all += "\n";
        }
    }
    return all.c_str();
}

// The lesson open (lesson_open: its index + 1, 0 none, -1 the list) and its step.
EMSCRIPTEN_KEEPALIVE int page_lesson_open()
{
    return lesson_open;
}

EMSCRIPTEN_KEEPALIVE int page_lesson_step()
{
    return lesson_step_open;
}

// Step `step` (from 1) of the lesson at `index` (from 0): a new run of its scenario, as its
// address opens it. Nothing for a step the lessons do not have.
EMSCRIPTEN_KEEPALIVE void page_open_lesson(int index, int step)
{
    if (index < 0 || static_cast<std::size_t>(index) >= LESSONS.size() || step < 1 ||
        static_cast<std::size_t>(step) > LESSONS[static_cast<std::size_t>(index)].steps.size())
        return;
    Options options;
    options.lesson = LESSONS[static_cast<std::size_t>(index)].id;
    options.lesson_step = step;
    open_asked_lesson(&options);
    show_start_views(options);
    start_page_run(options);
}

// The lesson left: none open, the values and the run as they are.
EMSCRIPTEN_KEEPALIVE void page_leave_lesson()
{
    lesson_open = 0;
}

}
