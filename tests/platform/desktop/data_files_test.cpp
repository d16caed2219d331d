// CSV files out: the curves read back to the very doubles the program holds, the motion to the
// regression's states, and a file that cannot be written is reported and left absent.
#include "platform/desktop/data_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/dialog.h"
#include "app/export.h"
#include "app/picture_name.h"
#include "core/state.h"
#include "tests/support/csv.h"
#include "tests/support/program_run.h"

namespace {

std::string temporary_path(const char* name)
{
    return std::string(::testing::TempDir()) + "vdp_export_" + std::to_string(getpid()) + name;
}

// A ratio field: a root read back exactly, or an empty field for a missing one.
double ratio(const std::string& field)
{
    return field.empty() ? NO_ROOT : std::strtod(field.c_str(), nullptr);
}

bool same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Export, CurvesReadBackToTheSamplesHeld)
{
    for (const double eps : {0.1, 0.5}) {
        start_program_run(eps, eps == 0.1 ? 0.5 : 0.2, 1.0, 0.0, 0.0);
        const std::string path = temporary_path("curves.csv");
        ASSERT_EQ(write_table_file(path.c_str(), curves_csv()), "");
        const auto rows = csv_rows(contents(path));
        std::remove(path.c_str());
        ASSERT_EQ(rows.at(0), (std::vector<std::string>{"set", "parameter", "index", "amplitude",
                                                        "z_high", "z_low", "class_high",
                                                        "class_low"}));
        std::map<std::string, int> per_set;
        std::vector<std::string> crossing_classes;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const auto& f = rows[r];
            ASSERT_EQ(f.size(), 8u) << "row " << r;
            // A class where the root is, none where it is missing.
            if (f[0] != "crossing") {
                EXPECT_TRUE(f[4].empty() == f[6].empty() && f[5].empty() == f[7].empty())
                    << "row " << r;
            }
            ++per_set[f[0]];
            const int i = std::atoi(f[2].c_str());
            const double R = std::strtod(f[3].c_str(), nullptr);
            const ResponsePoint* p = nullptr;
            if (f[0] == "main") p = &main_curve[i];
            if (f[0] == "fold") p = &main_folds[i];
            if (f[0] == "epsilon_family" || f[0] == "force_family") {
                const double parameter = std::strtod(f[1].c_str(), nullptr);
                const double* values = f[0] == "epsilon_family" ? EPSILON_FAMILY : FORCE_FAMILY;
                const int k = static_cast<int>(std::find(values, values + 10, parameter) - values);
                ASSERT_LT(k, 10) << "row " << r;
                p = f[0] == "epsilon_family" ? &eps_curves[k][i] : &force_curves[k][i];
            }
            if (f[0] == "crossing") {
                EXPECT_TRUE(same(R, crossings[i])) << "row " << r;
                crossing_classes.push_back(f[6]);
                continue;
            }
            ASSERT_NE(p, nullptr) << "row " << r << ": set " << f[0];
            EXPECT_TRUE(same(R, p->amplitude) && same(ratio(f[4]), p->z_high) &&
                        same(ratio(f[5]), p->z_low))
                << "row " << r;
        }
        // The three responses at eps = 0.5, F = 0.2, z = 1, whose Floquet multipliers the
        // guide gives; the one at eps = 0.1, F = 0.5.
        EXPECT_EQ(crossing_classes, (eps == 0.1 ? std::vector<std::string>{"stable"}
                                                : std::vector<std::string>{"unstable", "saddle",
                                                                           "stable"}));
        EXPECT_EQ(per_set["main"], CURVE_CAPACITY);
        EXPECT_EQ(per_set["fold"], main_fold_count);
        EXPECT_EQ(per_set["crossing"], crossing_count);
        EXPECT_EQ(per_set["epsilon_family"], 10 * CURVE_CAPACITY);
        EXPECT_EQ(per_set["force_family"], 10 * CURVE_CAPACITY);
    }
}

TEST(Export, MotionReachesTheRegressionStatesBitForBit)
{
    start_program_run(0.1, 0.5, 1.0, 0.0, 0.0);
    const std::string path = temporary_path("motion.csv");
    ASSERT_EQ(write_motion_file(path.c_str(), 1000), "");
    const auto rows = csv_rows(contents(path));
    std::remove(path.c_str());
    ASSERT_EQ(rows.size(), 1002u);   // the header, frames 0 ... 1000
    EXPECT_EQ(rows[1], (std::vector<std::string>{"0", "0", "0", "0", "0", ""}));
    // The first forcing period ends within frame 63 (t = 2 pi): the measure starts there.
    EXPECT_EQ(rows[63].at(5), "");
    EXPECT_NE(rows[64].at(5), "");
    const auto& last = rows.back();
    EXPECT_EQ(last[0], "1000");
    EXPECT_TRUE(same(std::strtod(last[2].c_str(), nullptr), -0x1.640f91e2d6398p+1)) << last[2];
    EXPECT_TRUE(same(std::strtod(last[3].c_str(), nullptr), -0x1.c0f4f93253999p+0)) << last[3];
    EXPECT_TRUE(same(std::strtod(last[4].c_str(), nullptr), trace_force[trace_index]));
}

TEST(Export, AnUnwritablePathIsReportedAndNothingIsLeft)
{
    start_program_run(0.1, 0.5, 1.0, 0.0, 0.0);
    const std::string folder = temporary_path("missing-folder");
    const std::string path = folder + "/curves.csv";
    EXPECT_NE(write_table_file(path.c_str(), curves_csv()), "");
    EXPECT_NE(write_motion_file(path.c_str(), 10), "");
    EXPECT_NE(write_strobe_file(path.c_str(), 10), "");
    EXPECT_NE(access(folder.c_str(), F_OK), 0);
}

// Without and with a second start: the motion's own file, and the first four columns of the
// points' file, byte for byte the same. A run of more points than the ring holds: every point,
// k after k; a second start from the motion's own initial state: the same points beside them.
TEST(Export, StrobePointsComeAllAndASecondStartLeavesTheMotionAlone)
{
    constexpr long FRAMES = 70000;   // 2,228 periods at z = 2
    std::string files[2][2];
    for (const bool second : {false, true}) {
        second_start_given = second;
        second_init[0] = 1.0, second_init[1] = 0.0;
        const std::string motion = temporary_path("motion.csv"), points = temporary_path("points.csv");
        start_program_run(0.1, 0.5, 2.0, 0.0, 0.0);
        ASSERT_EQ(write_motion_file(motion.c_str(), 1000), "");
        start_program_run(0.1, 0.5, 2.0, 0.0, 0.0);
        ASSERT_EQ(write_strobe_file(points.c_str(), FRAMES), "");
        files[second][0] = contents(motion);
        std::string first_columns;
        for (const auto& row : csv_rows(contents(points)))
            first_columns += row.at(0) + row.at(1) + row.at(2) + row.at(3) + "\n";
        files[second][1] = first_columns;
        std::remove(motion.c_str());
        std::remove(points.c_str());
    }
    EXPECT_TRUE(files[0][0] == files[1][0]);
    EXPECT_TRUE(files[0][1] == files[1][1]);

    second_init[0] = second_init[1] = 0.0;
    start_program_run(0.1, 0.5, 2.0, 0.0, 0.0);
    const std::string path = temporary_path("points.csv");
    ASSERT_EQ(write_strobe_file(path.c_str(), FRAMES), "");
    const auto rows = csv_rows(contents(path));
    std::remove(path.c_str());
    second_start_given = false;
    EXPECT_EQ(rows.at(0), (std::vector<std::string>{"k", "t", "y", "v", "second_y", "second_v"}));
    ASSERT_GT(rows.size(), static_cast<std::size_t>(STROBE_CAPACITY + 100));
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].at(0), std::to_string(r - 1));
        ASSERT_TRUE(rows[r].at(2) == rows[r].at(4) && rows[r].at(3) == rows[r].at(5)) << "row " << r;
    }
}

// Where a file lands: a new one with the mode the umask allows, a hard-linked one in place
// (its links kept one file), a name of 255 bytes under a temporary name that fits beside it.
TEST(Export, NewModesLinksAndTheLongestNames)
{
    start_program_run(0.1, 0.5, 1.0, 0.0, 0.0);
    compute_response_curves();
    char folder_template[] = "/tmp/vdp_export_XXXXXX";
    const std::string folder = mkdtemp(folder_template);

    const mode_t old_mask = umask(027);
    const std::string fresh = folder + "/fresh.csv";
    EXPECT_EQ(write_table_file(fresh.c_str(), curves_csv()), "");
    umask(old_mask);
    struct stat st {};
    ASSERT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string linked = folder + "/linked.csv", other = folder + "/other-name.csv";
    std::ofstream(linked) << "old\n";
    ASSERT_EQ(link(linked.c_str(), other.c_str()), 0);
    EXPECT_EQ(write_table_file(linked.c_str(), curves_csv()), "");
    EXPECT_TRUE(contents(other) == contents(fresh)) << "the other link kept the old text";
    ASSERT_EQ(stat(other.c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);

    const std::string longest = folder + "/" + std::string(251, 'a') + ".csv";
    EXPECT_EQ(write_table_file(longest.c_str(), curves_csv()), "");
    EXPECT_EQ(write_table_file(longest.c_str(), curves_csv()), "");   // replacing it, too
    EXPECT_TRUE(contents(longest) == contents(fresh));
    for (const std::string& name : {fresh, linked, other, longest})
        unlink(name.c_str());
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left";
}

// The picture's name holds the local date and time of its moment, year, month, day: a
// 17 March read in two time zones, one of them past midnight.
TEST(PictureName, NamesTheLocalDateAndTime)
{
    const std::time_t when = 1710681296;   // 2024-03-17 13:14:56 UTC
    const char* old = std::getenv("TZ");
    const std::string kept = old != nullptr ? old : "";
    const struct {
        const char* zone;
        int counter;
        const char* name;
    } cases[] = {{"UTC0", 0, "forced-vdp-20240317-131456.png"},
                 {"JST-9", 2, "forced-vdp-20240317-221456-2.png"},
                 {"XXX+14", 0, "forced-vdp-20240316-231456.png"}};
    for (const auto& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(picture_name(when, c.counter), c.name) << c.zone;
    }
    if (old != nullptr)
        setenv("TZ", kept.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
