// Standard input from a file, standard output captured to a file, around one dialog run.
#include "tests/support/dialog_io.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/console.h"
#include "app/dialog.h"
#include "core/state.h"

std::string run_with_console(const std::string& input, const std::function<void()>& action)
{
    // Unique names: test processes run side by side.
    char in_path[] = "/tmp/vdp_dialog_in_XXXXXX";
    char out_path[] = "/tmp/vdp_dialog_out_XXXXXX";
    const int in = mkstemp(in_path);
    const int out = mkstemp(out_path);
    EXPECT_GE(in, 0);
    EXPECT_GE(out, 0);
    EXPECT_EQ(write(in, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(in);
    EXPECT_NE(std::freopen(in_path, "rb", stdin), nullptr);

    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(out, STDOUT_FILENO);
    close(out);
    action();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);

    std::string written;
    FILE* f = std::fopen(out_path, "rb");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) written.append(buf, n);
    std::fclose(f);
    unlink(in_path);
    unlink(out_path);
    return written;
}

std::string run_dialog(char key, const std::string& input)
{
    return run_with_console(input, [key] {
        command_key = key;
        input_parameters();
    });
}

std::string console_text(const std::string& utf8)
{
    return console_encode(utf8.c_str(), console_codeset());
}
