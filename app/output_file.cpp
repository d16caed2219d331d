// Output under a temporary name, renamed when complete, so that an interrupted or failed write
// leaves no half file and never destroys an older file of that name.
#include "app/output_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// mkstemp makes a file readable by its owner only; the output gets the mode any new file of
// this process would get.
void give_default_mode(int fd)
{
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

std::string reason(int error)
{
    return std::strerror(error);
}

}  // namespace

std::string open_output(const char* path, OutputFile* file)
{
    file->path = path;
    if (file->path == "-") {
        file->stream = stdout;
        return {};
    }
    file->temporary = file->path + ".XXXXXX";
    const int fd = mkstemp(file->temporary.data());
    if (fd < 0)
        return reason(errno);
    give_default_mode(fd);
    file->stream = fdopen(fd, "wb");
    if (file->stream == nullptr) {
        const int error = errno;
        close(fd);
        unlink(file->temporary.c_str());
        return reason(error);
    }
    return {};
}

std::string close_output(OutputFile* file, bool ok)
{
    if (file->path == "-")
        return std::fflush(stdout) == 0 ? std::string() : reason(errno);
    std::string error;
    if (std::ferror(file->stream))
        error = "write error";
    else if (std::fflush(file->stream) != 0 || fsync(fileno(file->stream)) != 0)
        error = reason(errno);
    if (std::fclose(file->stream) != 0 && error.empty())
        error = reason(errno);
    file->stream = nullptr;
    if (ok && error.empty() && std::rename(file->temporary.c_str(), file->path.c_str()) != 0)
        error = reason(errno);
    if (!ok || !error.empty())
        unlink(file->temporary.c_str());
    return error;
}
