// A picture that libpng refuses to encode, without any write having failed: the caller hears
// why, and neither the file nor its temporary name is left behind.
#include "platform/desktop/png_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(PngFile, APictureThatCannotBeEncodedLeavesNoFile)
{
    char folder_template[] = "/tmp/vdp_png_XXXXXX";
    const std::string folder = mkdtemp(folder_template);
    const std::string path = folder + "/picture.png";
    // Wider than libpng's default limit of a million columns: refused before any byte.
    constexpr int WIDTH = 1000001;
    const std::vector<unsigned char> rgb(static_cast<std::size_t>(WIDTH) * 3, 0);
    EXPECT_EQ(write_png_file(path.c_str(), WIDTH, 1, rgb), "could not encode the picture");
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left in " << folder;
}

}  // namespace
