// Output under a temporary name, renamed when complete, so that an interrupted or failed write
// leaves no half file and never destroys an older file of that name; in place where the
// target is no regular file.
#include "platform/desktop/output_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LINK_HOPS = 40;   // as the kernel's own limit on a chain of symbolic links

// The temporary file being written, for the signal handler: armed while it exists. The
// program writes its files one after the other, so one place is enough.
char pending_temporary[PATH_MAX + 16];
volatile std::sig_atomic_t temporary_armed = 0;
constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

void remove_temporary_and_die(int signal_number)
{
    if (temporary_armed)
        unlink(pending_temporary);
    std::signal(signal_number, SIG_DFL);
    raise(signal_number);
}

void install_cleanup_handlers()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const int s : CLEANUP_SIGNALS) {
        struct sigaction old {};
        sigaction(s, nullptr, &old);
        if (old.sa_handler == SIG_IGN)   // nohup and the like: stays ignored
            continue;
        struct sigaction now {};
        now.sa_handler = remove_temporary_and_die;
        sigemptyset(&now.sa_mask);
        sigaction(s, &now, nullptr);
    }
}

// Blocks the cleanup signals while the handler's view of the temporary file changes.
struct SignalsHeld {
    sigset_t old;
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int s : CLEANUP_SIGNALS)
            sigaddset(&held, s);
        sigprocmask(SIG_BLOCK, &held, &old);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &old, nullptr); }
};

std::string reason(int error)
{
    return std::strerror(error);
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether path lies in a folder of /proc, also by another name (/dev/fd/3, which a shell's
// >(command) hands over, is /proc/self/fd/3).
bool in_proc(const std::string& path)
{
    if (path.rfind("/proc/", 0) == 0)
        return true;
    char* folder = realpath(folder_of(path).c_str(), nullptr);
    const bool proc = folder != nullptr && std::strncmp(folder, "/proc/", 6) == 0;
    std::free(folder);
    return proc;
}

// Whether a name under /proc is this process's descriptor 1.
bool names_standard_output(const std::string& path)
{
    char* folder = realpath(folder_of(path).c_str(), nullptr);
    const bool own = folder != nullptr &&
                     std::string(folder) == "/proc/" + std::to_string(getpid()) + "/fd" &&
                     path.substr(path.rfind('/') + 1) == "1";
    std::free(folder);
    return own;
}

// Where path lands: its chain of symbolic links followed to a name that is no link (which
// may not exist yet). A link of the chain under /proc names an open descriptor (/dev/stdout,
// /dev/fd/N, >(command)) rather than a file to replace: the chain stops there, with
// through_proc set.
bool follow_links(const std::string& path, std::string* target, bool* through_proc)
{
    std::string at = path;
    *through_proc = false;
    for (int hop = 0; hop < LINK_HOPS; ++hop) {
        struct stat st {};
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = at;
            return true;
        }
        // Only the kernel resolves these links properly ("pipe:[1234]" is no name to open).
        if (in_proc(at)) {
            *through_proc = true;
            *target = at;
            return true;
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(at.c_str(), link, sizeof link - 1);
        if (n < 0)
            return false;
        link[n] = '\0';
        at = link[0] == '/' ? std::string(link) : folder_of(at) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

std::string open_in_place(OutputFile* file)
{
    const int fd = open(file->target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return reason(errno);
    file->stream = fdopen(fd, "wb");
    if (file->stream == nullptr) {
        const int error = errno;
        close(fd);
        return reason(error);
    }
    return {};
}

// A new file gets the mode any new file of this process would get; a replaced one keeps its
// mode and, where this process may set them, its owner and group.
void give_mode(int fd, const struct stat* existing)
{
    if (existing == nullptr) {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        return;
    }
    if (fchown(fd, existing->st_uid, existing->st_gid) != 0) {
        // Not the owner's to give: the file becomes this user's, with the same mode.
    }
    fchmod(fd, existing->st_mode & 07777);
}

// The temporary name beside target: target.XXXXXX, or where that would pass the folder's
// longest name (a valid name of 249 bytes or more), .forced-vdp-XXXXXX.
std::string temporary_name(const std::string& target)
{
    const std::string folder = folder_of(target);
    const std::size_t slash = target.rfind('/');
    const std::size_t base = target.size() - (slash == std::string::npos ? 0 : slash + 1);
    const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (base + 7 <= static_cast<std::size_t>(longest > 0 ? longest : NAME_MAX))
        return target + ".XXXXXX";
    return (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
           ".forced-vdp-XXXXXX";
}

std::string open_replacement(OutputFile* file, const struct stat* existing)
{
    const std::string name = temporary_name(file->target);
    if (name.size() >= sizeof pending_temporary)
        return reason(ENAMETOOLONG);
    install_cleanup_handlers();
    int fd;
    {
        SignalsHeld held;
        std::memcpy(pending_temporary, name.c_str(), name.size() + 1);
        fd = mkostemp(pending_temporary, O_CLOEXEC);
        if (fd < 0)
            return reason(errno);
        temporary_armed = 1;
    }
    give_mode(fd, existing);
    file->replacing = true;
    file->stream = fdopen(fd, "wb");
    if (file->stream == nullptr) {
        const int error = errno;
        close(fd);
        SignalsHeld held;
        unlink(pending_temporary);
        temporary_armed = 0;
        return reason(error);
    }
    return {};
}

}  // namespace

bool standard_output_closed = false;

std::string open_output(const char* path, OutputFile* file)
{
    file->path = path;
    if (file->path == "-") {
        if (standard_output_closed)
            return reason(EBADF);
        file->stream = stdout;
        return {};
    }
    bool through_proc = false;
    if (!follow_links(file->path, &file->target, &through_proc))
        return reason(errno);
    if (through_proc && standard_output_closed && names_standard_output(file->target))
        return reason(EBADF);
    struct stat st {};
    const bool exists = stat(file->target.c_str(), &st) == 0;
    if (through_proc || (exists && !S_ISREG(st.st_mode)))
        return open_in_place(file);
    // A file with other hard links stays one file with them, which replacing it would split;
    // a writable file in a folder this user may not write cannot have a temporary file beside
    // it. Both are written in place.
    if (exists && (st.st_nlink > 1 || (access(folder_of(file->target).c_str(), W_OK) != 0 &&
                                       access(file->target.c_str(), W_OK) == 0)))
        return open_in_place(file);
    return open_replacement(file, exists ? &st : nullptr);
}

bool write_output(OutputFile* file, const void* data, std::size_t size)
{
    if (size == 0 || std::fwrite(data, 1, size, file->stream) == size)
        return true;
    if (file->error == 0)
        file->error = errno != 0 ? errno : EIO;
    return false;
}

std::string close_output(OutputFile* file, bool ok)
{
    int error = file->error;
    if (file->path == "-") {
        if (std::fflush(stdout) != 0 && error == 0)
            error = errno;
        if (std::ferror(stdout) && error == 0)
            error = EIO;
        return error == 0 ? std::string() : reason(error);
    }
    if (std::fflush(file->stream) != 0 && error == 0)
        error = errno;
    if (file->replacing && error == 0 && ok && fsync(fileno(file->stream)) != 0)
        error = errno;
    if (std::ferror(file->stream) && error == 0)
        error = EIO;
    if (std::fclose(file->stream) != 0 && error == 0)
        error = errno;
    file->stream = nullptr;
    if (file->replacing) {
        SignalsHeld held;
        if (ok && error == 0 && std::rename(pending_temporary, file->target.c_str()) != 0)
            error = errno;
        if (!ok || error != 0)
            unlink(pending_temporary);
        temporary_armed = 0;
    }
    return error == 0 ? std::string() : reason(error);
}

namespace {

// Where an output name lands, for comparing two of them: its target, and whether that exists
// (then *st describes it). A name not there yet gets its folder's real path, so that ./x and
// x compare equal.
std::string landing_place(const std::string& name, struct stat* st, bool* exists)
{
    if (name == "-") {
        *exists = fstat(STDOUT_FILENO, st) == 0;
        return name;
    }
    std::string target;
    bool through_proc = false;
    if (!follow_links(name, &target, &through_proc))
        target = name;
    *exists = stat(target.c_str(), st) == 0;
    if (*exists)
        return target;
    char* folder = realpath(folder_of(target).c_str(), nullptr);
    if (folder == nullptr)
        return target;
    const std::size_t slash = target.rfind('/');
    std::string full = folder;
    std::free(folder);
    full += '/';
    full.append(target, slash == std::string::npos ? 0 : slash + 1);
    return full;
}

}  // namespace

bool same_output(const char* a, const char* b)
{
    struct stat st_a {}, st_b {};
    bool exists_a = false, exists_b = false;
    const std::string place_a = landing_place(a, &st_a, &exists_a);
    const std::string place_b = landing_place(b, &st_b, &exists_b);
    if (exists_a && exists_b)
        return st_a.st_dev == st_b.st_dev && st_a.st_ino == st_b.st_ino;
    return place_a == place_b;
}
