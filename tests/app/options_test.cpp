// The command line: what each accepted form sets, and that every bad option or value is
// refused with a message naming it.
#include "app/options.h"

#include <gtest/gtest.h>

#include "app/controls.h"

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A platform's own options, as a window system might have them.
constexpr PlatformOption PLATFORM_OPTIONS[] = {{"-display", true}, {"-geometry", true}, {"-iconic", false}};

struct Parsed {
    std::string error;
    Options options;
    std::vector<std::string> platform_args;   // copies: argv lives only within parse
};

Parsed parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "forced-vdp");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    Parsed p;
    p.error = parse_options(static_cast<int>(argv.size()), argv.data(), &p.options, PLATFORM_OPTIONS);
    p.platform_args.assign(p.options.platform_args.begin(), p.options.platform_args.end());
    p.options.platform_args.clear();
    return p;
}

TEST(Options, AcceptedFormsSetTheirValues)
{
    Parsed p = parse({"--eps", "0.1", "--force=-0.5", "--z", "1e0", "--y0", "5e-1", "--v0=2",
                      "--family", "E", "--frames", "1000000", "--snapshot", "a.png",
                      "--export-curves=-", "--export-motion", "m.csv", "--lang", "en",
                      "--second-start", "-1.5,\xEF\xBC\x92", "--export-strobe=s.csv"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(*p.options.epsilon, 0.1);
    EXPECT_EQ(*p.options.force, -0.5);
    EXPECT_EQ(*p.options.z, 1.0);
    EXPECT_EQ(*p.options.y0, 0.5);
    EXPECT_EQ(*p.options.v0, 2.0);
    EXPECT_EQ(p.options.family, 'E');
    EXPECT_EQ(*p.options.frames, 1000000);
    EXPECT_EQ(p.options.snapshot, "a.png");
    EXPECT_EQ(p.options.export_curves, "-");
    EXPECT_EQ(p.options.export_motion, "m.csv");
    EXPECT_EQ(p.options.export_strobe, "s.csv");
    EXPECT_EQ(*p.options.second_start, (std::array<double, 2>{-1.5, 2.0}));   // a full-width 2
    EXPECT_EQ(chosen_language(p.options), Language::english);
    EXPECT_TRUE(has_parameters(p.options));

    // The platform's options go on to it, values included, in their order.
    p = parse({"-geometry", "400x300", "--frames", "0", "-iconic", "-display", ":7", "--"});
    ASSERT_EQ(p.error, "");
    EXPECT_FALSE(has_parameters(p.options));
    EXPECT_EQ(p.platform_args, (std::vector<std::string>{"forced-vdp", "-geometry", "400x300",
                                                       "-iconic", "-display", ":7"}));
}

TEST(Options, EveryBadOptionOrValueIsRefusedByName)
{
    const struct {
        std::vector<std::string> args;
        const char* message_has;
    } cases[] = {
        {{"--bogus"}, "unrecognized option '--bogus'"},
        {{"-x"}, "unrecognized option '-x'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--", "stray"}, "unexpected argument 'stray'"},
        {{"--eps"}, "'--eps' needs a value"},
        {{"--frames"}, "'--frames' needs a value"},
        {{"-geometry"}, "'-geometry' needs a value"},
        {{"--help=1"}, "'--help' takes no value"},
        {{"--eps", "nan"}, "'nan' for --eps"},
        {{"--force", "inf"}, "'inf' for --force"},
        {{"--z", "1e999"}, "'1e999' for --z"},
        {{"--y0", "abc"}, "'abc' for --y0"},
        {{"--v0", "0,5"}, "'0,5' for --v0"},
        {{"--eps", "0,"}, "'0,' for --eps"},
        {{"--eps", "0x10"}, "'0x10' for --eps: a finite number with a decimal point"},
        {{"--z", "\xEF\xBC\x90x1p3"}, "for --z"},   // a full-width zero
        {{"--eps", "1e"}, "'1e' for --eps"},
        {{"--eps", " 1"}, "' 1' for --eps"},
        {{"--eps="}, "'' for --eps"},
        {{"--frames", "-1"}, "'-1' for --frames"},
        {{"--frames", "1000001"}, "'1000001' for --frames"},
        {{"--frames", "2.5"}, "'2.5' for --frames"},
        {{"--family", "x"}, "'x' for --family"},
        {{"--lang", "fr"}, "'fr' for --lang"},
        {{"--eps", "1e-400"}, "'1e-400' for --eps"},
        {{"--force", "-0x1p-1100"}, "for --force"},
        {{"--z", "\xEF\xBC\x91\xE3\x80\x80"}, "for --z"},   // a wide blank inside
        {{"--snapshot="}, "'' for --snapshot"},
        {{"--stability=1"}, "'--stability' takes no value"},
        // Two numbers and one comma between them.
        {{"--second-start", "1"}, "'1' for --second-start: two numbers"},
        {{"--second-start", "1,2,3"}, "'1,2,3' for --second-start"},
        {{"--second-start", "nan,0"}, "'nan,0' for --second-start"},
        {{"--second-start"}, "'--second-start' needs a value"},
        {{"--sweep", "1.2"}, "'1.2' for --sweep: two forcing ratios FROM:TO, each above 0 and at most 78.5, at most 10 apart"},
        {{"--sweep", "1:x"}, "'1:x' for --sweep"},
        {{"--sweep", ":1"}, "':1' for --sweep"},
        {{"--sweep", "1:2:3"}, "'1:2:3' for --sweep"},
        {{"--sweep", "0:1"}, "'0:1' for --sweep"},
        {{"--sweep", "-1:1"}, "'-1:1' for --sweep"},
        {{"--sweep", "78.5:78.55"}, "'78.5:78.55' for --sweep"},   // 78.54: four steps a period
        {{"--sweep", "1:11.01"}, "'1:11.01' for --sweep"},         // 4,003 records
        {{"--export-sweep="}, "'' for --export-sweep"},
        // The locking map's grid: N = 0, A > B, not numbers, z not above 0 or past a period
        // of four steps, one value between two ends, counts too large.
        {{"--map-z", "0.5:1.5:0"}, "'0.5:1.5:0' for --map-z"},
        {{"--map-z", "1.5:0.5:11"}, "'1.5:0.5:11' for --map-z"},
        {{"--map-force", "0:x:3"}, "'0:x:3' for --map-force"},
        {{"--map-force", "0:1"}, "'0:1' for --map-force"},
        {{"--map-force", "0:1:2:3"}, "'0:1:2:3' for --map-force"},
        {{"--map-force", "0:1:1"}, "'0:1:1' for --map-force"},
        {{"--map-force", "0:1:1000001"}, "'0:1:1000001' for --map-force"},
        {{"--map-z", "0:1:3"}, "'0:1:3' for --map-z"},
        {{"--map-z", "0.5:79:3"}, "'0.5:79:3' for --map-z"},
        {{"--map-z", "0.5:1:1e3"}, "'0.5:1:1e3' for --map-z"},
        {{"--map-periods", "0"}, "'0' for --map-periods"},
        {{"--map-window", "100001"}, "'100001' for --map-window"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_NE(p.error.find(c.message_has), std::string::npos)
            << "for " << c.args[0] << ": got \"" << p.error << "\"";
    }
}

TEST(Options, SweepTakesTwoRatiosAsFarApartAsItsRecordsHold)
{
    for (const char* ends : {"1:11", "78.5:78.5", "\xEF\xBC\x91:2"})   // widest, highest, full-width
        EXPECT_EQ(parse({"--sweep", ends}).error, "") << ends;
    const Parsed p = parse({"--sweep=1.2:0.8", "--export-sweep", "s.csv"});
    EXPECT_TRUE(p.error.empty() && (*p.options.sweep)[0] == 1.2 && (*p.options.sweep)[1] == 0.8);
    EXPECT_EQ(p.options.export_sweep, "s.csv");
    EXPECT_FALSE(has_parameters(p.options));   // a dialog asks for the rest
}

TEST(Options, LayersAreFlagsHereAndOneOrZeroAsAddressParameters)
{
    const Control& stability = *control_named("stability");
    const Control& measured = *control_named("measured");
    const Parsed p = parse({"--stability", "--measured"});
    EXPECT_TRUE(p.error.empty() && layer_asked(p.options, stability) && layer_asked(p.options, measured));
    Options o;
    EXPECT_TRUE(set_option("stability", "1", &o).empty() && layer_asked(o, stability) &&
                !layer_asked(o, measured));
    EXPECT_TRUE(set_option("stability", "0", &o).empty() && !layer_asked(o, stability));
    EXPECT_NE(set_option("measured", "yes", &o).find("'yes' for --measured"), std::string::npos);
}

TEST(Options, ASecondStartInAnAddressIsSecondAndRefusedWithTheRest)
{
    std::vector<AddressNote> notes;
    Options o = address_options({{"eps", "0.1"}, {"force", "0"}, {"z", "1"}, {"y0", "0"}, {"v0", "0"},
                                 {"second", "1,-0.5"}}, &notes);
    EXPECT_TRUE(notes.empty() && o.epsilon && o.second_start == (std::array<double, 2>{1.0, -0.5}));
    o = address_options({{"eps", "0.1"}, {"second", "1;0"}}, &notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].wanted, WANTS_PAIR);
    EXPECT_FALSE(o.epsilon || o.second_start);   // nothing of the address is used
    address_options({{"second-start", "1,0"}}, &notes);   // the option's name is no parameter
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].wanted, NO_TEXT);
}

TEST(Options, AnyOneModelValueSkipsTheDialog)
{
    for (const char* name : {"--eps", "--force", "--z", "--y0", "--v0"}) {
        const Parsed p = parse({name, "0"});
        ASSERT_EQ(p.error, "") << name;
        EXPECT_TRUE(has_parameters(p.options)) << name << " alone";
    }
}

TEST(Options, NumbersAreReadAsTheDialogReadsThem)
{
    // Full-width forms as an input method types them; a subnormal is held (1e-400, which
    // would be held as 0, is refused: see the table above).
    const Parsed p = parse({"--eps", "\xEF\xBC\x90\xEF\xBC\x8E\xEF\xBC\x95", "--z", "1e-320"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(*p.options.epsilon, 0.5);
    EXPECT_GT(*p.options.z, 0.0);
}

TEST(Options, LanguageIsReadAlikeFromTheCommandLineAndTheEnvironment)
{
    // value, English?, known?
    const std::tuple<const char*, bool, bool> cases[] = {
        {"en", true, true},  {"EN", true, true},  {"english", true, true},
        {"en_US.UTF-8", true, true}, {"ja_JP.UTF-8", false, true}, {"JA", false, true},
        {"de", false, false}, {"e", false, false}};
    for (const auto& [value, english, known] : cases) {
        unsetenv("FORCED_VDP_LANG");
        const Language expected = english ? Language::english : Language::japanese;
        const Parsed p = parse({std::string("--lang=") + value});
        EXPECT_EQ(p.error.empty(), known) << value;
        EXPECT_EQ(chosen_language(p.options), expected) << value;
        setenv("FORCED_VDP_LANG", value, 1);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(chosen_language(parse({}).options), expected) << value;
        EXPECT_EQ(::testing::internal::GetCapturedStderr().empty(), known) << value;
    }
    EXPECT_EQ(chosen_language(parse({"--lang=ja"}).options), Language::japanese);   // last word
    // The warning stays one line of text: control characters shown as '?'.
    setenv("FORCED_VDP_LANG", "x\x1b[2J\ny", 1);
    ::testing::internal::CaptureStderr();
    chosen_language(parse({}).options);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "forced-vdp: FORCED_VDP_LANG=x?[2J?y is neither en nor ja; Japanese it is\n");
    unsetenv("FORCED_VDP_LANG");
}

}  // namespace

// An address's notes, each its kind and what it names, and the values it took.
TEST(Options, AnAddressTakesThePagesOwnNamesInAnyCaseAndSaysWhatItMadeOfIt)
{
    const struct {
        std::vector<AddressParameter> parameters;
        std::string fragment, notes;
        double epsilon, force;   // as taken; -1 where the dialog asks
    } cases[] = {
        {{{"ε", "0.1"}, {"F", "0.2"}, {"Z", "1"}, {"Y0", "0"}, {"v0", "0"}}, "", "", 0.1, 0.2},
        {{{"EPS", "0.3"}, {"Force", "0.4"}}, "", "zero z, y0, v0;", 0.3, 0.4},
        {{{"epsilon", "0.1"}, {"f", "0.5"}, {"z", "1"}, {"y0", "0"}, {"v0", "0"}, {"ε", "0.7"}},
         "", "repeated ε=0.7;", 0.7, 0.5},
        {{}, "eps=0.1&z=1", "fragment =eps=0.1&z=1;", -1, -1},
        // A refusal: nothing is taken, so nothing is said to be taken as 0.
        {{{"eps", "0.1"}, {"forse", "0.5"}}, "", "unknown forse=0.5;", -1, -1},
        {{{"eps", "0.1"}, {"Eps", "0,2"}}, "", "refused Eps=0,2;", -1, -1},
    };
    const char* kinds[] = {"unknown ", "refused ", "repeated ", "zero ", "fragment "};
    for (const auto& c : cases) {
        std::vector<AddressNote> notes;
        const Options o = address_options(c.parameters, &notes, c.fragment);
        std::string said;
        for (const AddressNote& n : notes)
            said += kinds[static_cast<int>(n.kind)] + n.name + (n.value.empty() ? "" : "=" + n.value) + ";";
        EXPECT_EQ(said, c.notes);
        EXPECT_EQ(o.epsilon.value_or(-1), c.epsilon) << said;
        EXPECT_EQ(o.force.value_or(-1), c.force) << said;
    }
}
