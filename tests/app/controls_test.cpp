// The controls table, walked once: texts in both languages, keys and names unique, each row
// where --help, the page's rows and the link need it; and a copied link read back.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/run.h"
#include "core/state.h"

namespace {

bool is_key_row(const Control& c)
{
    return c.kind == ControlKind::key || c.kind == ControlKind::view;
}

TEST(Controls, EveryRowHasItsTextsAUniqueKeyAndNameAndWhatItsKindNeeds)
{
    std::set<int> keys;
    std::set<std::string> names;
    const std::string help = help_text();
    EXPECT_EQ(help.find("%s"), std::string::npos) << help;
    for (const Control& c : CONTROLS) {
        const std::string row = c.name != nullptr ? c.name : key_cap(c.key);
        EXPECT_TRUE(c.label != NO_TEXT || c.help != NO_TEXT) << row;
        for (const Text id : {c.label, c.help})
            for (const Language l : {Language::japanese, Language::english}) {
                if (id == NO_TEXT)
                    continue;
                const std::string t = control_text(c, id, l);
                // The page receives them as tab-separated lines.
                EXPECT_TRUE(!t.empty() && t.find_first_of("\t\n") == std::string::npos &&
                            t.find("%s") == std::string::npos) << row << ": \"" << t << "\"";
            }
        EXPECT_TRUE(c.key == 0 || keys.insert(c.key).second) << row << ": key twice";
        EXPECT_TRUE(c.name == nullptr || names.insert(c.name).second) << row << ": name twice";
        EXPECT_TRUE(c.name != nullptr || c.key != 0) << "a row with neither key nor name";
        // The page's key row takes characters, and names every key.
        EXPECT_EQ(is_key_row(c), c.key > 0 && c.key < FIRST_NAMED_KEY) << row;
        EXPECT_TRUE(!is_key_row(c) || c.label != NO_TEXT) << row;
        EXPECT_TRUE(!is_option(c) || help.find("  --" + row + " ") != std::string::npos) << row;
        // A function key in its option's line, or among the window's keys.
        const std::string cap = key_cap(c.key);
        EXPECT_TRUE(c.key < FIRST_NAMED_KEY || help.find("(" + cap + ")") != std::string::npos ||
                    help.find(" " + cap + " ") != std::string::npos) << row << " not in --help";
        EXPECT_TRUE(!c.in_link || (is_option(c) && c.kind != ControlKind::flag &&
                                   c.kind != ControlKind::output)) << row;
        EXPECT_EQ(std::holds_alternative<bool*>(c.target), c.kind == ControlKind::layer) << row;
        EXPECT_EQ((std::holds_alternative<std::optional<double> Options::*>(c.target)),
                  c.kind == ControlKind::value) << row;
        EXPECT_EQ((std::holds_alternative<std::optional<std::array<double, 2>> Options::*>(c.target)),
                  c.kind == ControlKind::pair) << row;
    }
}

// The address as a browser reads it: '&' between parameters, '=' after the name, %XX for a
// byte, '+' for a blank.
std::vector<AddressParameter> decoded(const std::string& query)
{
    std::vector<AddressParameter> parameters;
    std::size_t at = 0;
    while (at <= query.size()) {
        const std::size_t end = std::min(query.find('&', at), query.size());
        std::string part;
        for (std::size_t i = at; i < end; ++i)
            if (query[i] == '%' && i + 2 < end) {
                part += static_cast<char>(std::stoi(query.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                part += query[i] == '+' ? ' ' : query[i];
            }
        const std::size_t equals = part.find('=');
        parameters.emplace_back(part.substr(0, equals), part.substr(equals + 1));
        at = end + 1;
    }
    return parameters;
}

std::uint64_t bits(std::optional<double> v)
{
    const double d = v.value_or(-1.0);
    std::uint64_t b = 0;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

TEST(Controls, EveryLinkedControlSurvivesACopiedLink)
{
    // A scenario in which every control a link carries differs from a plain start; numbers
    // that need all 17 digits, an exponent's '+' and a subnormal among them.
    epsilon = 1e21;
    force_amp = 0.1 + 0.2;
    freq_ratio = -2.5e-300;
    y_init = 5e-324;
    v_init = 1.0 / 3.0;
    family_view = 'E';
    console_language = Language::english;
    for (const Control& c : CONTROLS)
        if (c.kind == ControlKind::layer)
            *std::get<bool*>(c.target) = true;
    second_start_given = true;
    second_init[0] = -1e21;
    second_init[1] = 0.1 + 0.7;
    // The locking map's grid and lengths, an exponent's '+' among them.
    map_z_axis = {0.1 + 0.2, 7.0 / 3.0, 7};
    map_force_axis = {-1e21, -1e21, 1};
    map_transient = 1;
    map_window = 99999;
    map_periods = 100000;
    sim_time = 41 * FRAME_STEPS * FRAME_TIME_STEP;   // frame 41 shown
    // The sweep the run began with, both ends needing 17 digits.
    sweep_in_link = true;
    sweep_from = 0.1 + 0.7;
    sweep_to = 1.0 + 1.0 / 3.0;
    lesson_open = 4;   // the lesson called "4", at its second step
    lesson_step_open = 2;
    const Options held = held_scenario();
    const std::string query = address_query(held);

    std::vector<AddressNote> notes;
    const Options read = address_options(decoded(query), &notes);
    EXPECT_TRUE(notes.empty()) << query;
    for (const Control& c : CONTROLS) {
        EXPECT_EQ(query.find(std::string(c.name != nullptr ? link_name(c) : "-") + "=") !=
                      std::string::npos,
                  c.in_link) << query;
        const auto* number = std::get_if<std::optional<double> Options::*>(&c.target);
        EXPECT_TRUE(number == nullptr || bits(read.**number) == bits(held.**number)) << c.name << " in " << query;
        EXPECT_TRUE(c.kind != ControlKind::layer || layer_asked(read, c)) << c.name;
    }
    EXPECT_EQ(read.frames.value_or(-1), 40);   // the page opened on it shows the frame after those
    EXPECT_EQ(read.family, 'E');
    ASSERT_TRUE(read.second_start.has_value()) << query;
    EXPECT_EQ(bits((*read.second_start)[0]), bits(-1e21));
    EXPECT_EQ(bits((*read.second_start)[1]), bits(0.1 + 0.7));
    ASSERT_TRUE(read.sweep.has_value()) << query;
    EXPECT_TRUE(bits((*read.sweep)[0]) == bits(0.1 + 0.7) && bits((*read.sweep)[1]) == bits(1.0 + 1.0 / 3.0))
        << query;
    sweep_in_link = false;
    EXPECT_TRUE(read.lesson == "4" && read.lesson_step == 2L) << query;
    lesson_open = 0;

    // What the page opened on the link does with it, from a plain start.
    epsilon = force_amp = freq_ratio = y_init = v_init = 0.0;
    show_start_views(Options{});   // family, layers and second start off
    console_language = Language::japanese;
    second_init[0] = second_init[1] = 0.0;
    ASSERT_FALSE(stability_shown || measured_shown || phase_shown || orbit_shown);
    map_z_axis = MAP_DEFAULT_Z;
    map_force_axis = MAP_DEFAULT_FORCE;
    map_transient = map_window = map_periods = 0;
    apply_start_options(read);
    set_parameters_from(read);
    EXPECT_TRUE(map_z_axis.from == 0.1 + 0.2 && map_z_axis.to == 7.0 / 3.0 && map_z_axis.count == 7);
    EXPECT_TRUE(map_force_axis.from == -1e21 && map_force_axis.count == 1);
    EXPECT_EQ(map_transient + map_window + map_periods, 1 + 99999 + 100000);
    EXPECT_EQ(epsilon, 1e21);
    EXPECT_EQ(force_amp, 0.1 + 0.2);
    EXPECT_EQ(freq_ratio, 0.1 + 0.7);   // a sweep starts at its FROM
    EXPECT_EQ(y_init, 5e-324);
    EXPECT_EQ(v_init, 1.0 / 3.0);
    EXPECT_EQ(family_view, 'E');
    EXPECT_EQ(console_language, Language::english);
    EXPECT_TRUE(stability_shown && measured_shown && phase_shown && orbit_shown);
    EXPECT_TRUE(second_start_given && second_init[0] == -1e21 && second_init[1] == 0.1 + 0.7);
    console_language = Language::japanese;
    show_start_views(Options{});
    map_z_axis = MAP_DEFAULT_Z;
    map_force_axis = MAP_DEFAULT_FORCE;
    map_transient = MAP_DEFAULT_TRANSIENT;
    map_window = MAP_DEFAULT_WINDOW;
    map_periods = MAP_DEFAULT_PERIODS;
}

}  // namespace
