// Standard input from a file, standard output captured to a file, around one dialog run.
#include "tests/support/dialog_io.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/console.h"
#include "app/dialog.h"
#include "app/state.h"

std::string run_dialog(char key, const std::string& input)
{
    const std::string in_path = ::testing::TempDir() + "dialog_in.txt";
    const std::string out_path = ::testing::TempDir() + "dialog_out.txt";
    FILE* in = std::fopen(in_path.c_str(), "wb");
    std::fwrite(input.data(), 1, input.size(), in);
    std::fclose(in);
    EXPECT_NE(std::freopen(in_path.c_str(), "rb", stdin), nullptr);

    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    close(out);
    command_key = key;
    input_parameters();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);

    std::string written;
    FILE* f = std::fopen(out_path.c_str(), "rb");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) written.append(buf, n);
    std::fclose(f);
    return written;
}

std::string console_text(const std::string& utf8)
{
    return console_encode(utf8.c_str(), console_codeset());
}
