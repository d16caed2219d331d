// The integrator's one failure: a scratch vector that cannot be had. This binary is linked
// with calloc wrapped, so each case can make the n-th request of a step fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/state.h"
#include "dynamics/rkg_step.h"

extern "C" void* __real_calloc(std::size_t count, std::size_t size);

namespace {

// Shared with the forked child so the parent can see what happened after the child exited.
struct Shared {
    int fail_at;        // 1-based request that fails; 0 for none
    int requests;       // requests seen since the counter was reset
    double out[2];      // the step's output vector
};
Shared* shared = nullptr;

}  // namespace

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    if (shared == nullptr) return __real_calloc(count, size);
    ++shared->requests;
    if (shared->requests == shared->fail_at) return nullptr;
    return __real_calloc(count, size);
}

namespace {

struct ChildResult {
    int status;
    std::string stdout_text;
};

// Runs one step in a child with the fail_at-th scratch request failing.
ChildResult step_with_failure(int fail_at)
{
    shared->fail_at = fail_at;
    shared->requests = 0;
    shared->out[0] = shared->out[1] = -12345.0;
    int pipe_fd[2];
    EXPECT_EQ(pipe(pipe_fd), 0);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_fd[1], STDOUT_FILENO);
        close(pipe_fd[0]);
        epsilon = 0.1;
        force_amp = 0.5;
        freq_ratio = 1.0;
        const double in[2] = {0.5, 0.25};
        rkg_step(0.0, 0.02, in, shared->out, 2);
        _exit(0);
    }
    close(pipe_fd[1]);
    ChildResult r{-1, ""};
    char buf[256];
    ssize_t n;
    while ((n = read(pipe_fd[0], buf, sizeof buf)) > 0) r.stdout_text.append(buf, static_cast<std::size_t>(n));
    close(pipe_fd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class AllocFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        void* m = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(m, MAP_FAILED);
        shared = static_cast<Shared*>(m);
    }
    void TearDown() override
    {
        munmap(shared, sizeof(Shared));
        shared = nullptr;
    }
};

TEST_F(AllocFailure, AnyScratchRequestFailingEndsTheProcessWithTheMessage)
{
    for (int fail_at = 1; fail_at <= 6; ++fail_at) {
        const ChildResult r = step_with_failure(fail_at);
        EXPECT_EQ(r.status, 1) << "request " << fail_at;
        EXPECT_EQ(r.stdout_text, "memory overflow\n") << "request " << fail_at;
        EXPECT_EQ(shared->requests, fail_at) << "later vectors must not be requested";
        EXPECT_EQ(shared->out[0], -12345.0) << "no partial result";
        EXPECT_EQ(shared->out[1], -12345.0) << "no partial result";
    }
}

TEST_F(AllocFailure, WithoutFailureAStepRequestsSixVectorsAndWritesItsResult)
{
    const ChildResult r = step_with_failure(0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.stdout_text, "");
    EXPECT_EQ(shared->requests, 6);
    EXPECT_NE(shared->out[0], -12345.0);
}

}  // namespace
