// Running programs under test and the stand-ins they run under.
#include "harness.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace {

std::vector<std::string> dirs_to_remove;
std::vector<pid_t> children_to_kill;

bool clean_up_registered;
pid_t clean_up_owner;

void clean_up()
{
    if (getpid() != clean_up_owner)
        return; // a forked child that exits must not remove its parent's files
    for (pid_t pid : children_to_kill)
        if (kill(pid, 0) == 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    for (const std::string &dir : dirs_to_remove)
        if (system(("rm -rf '" + dir + "'").c_str()) != 0) {
        }
}

int open_temp(const std::string &dir, const char *name)
{
    std::string path = dir + "/" + name;
    return open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

void register_clean_up()
{
    if (!clean_up_registered) {
        clean_up_owner = getpid();
        atexit(clean_up);
    }
    clean_up_registered = true;
}

bool write_file(const std::string &path, const std::string &text)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0444);
    if (fd < 0)
        return false;
    bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    close(fd);
    return ok;
}

// The name the kernel keeps for a process with this stat text (empty when the text has none).
std::string kernel_name(const std::string &stat)
{
    size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return "";
    return stat.substr(open + 1, std::min<size_t>(close - open - 1, 15));
}

// In a child: replaces /proc, for this child only, with the given processes. The real /proc
// stays reachable under real_proc, and the own process's entries that run-time libraries read
// (its executable, maps, tasks) lead there.
bool make_fake_proc(const std::vector<FakeProcess> &processes,
                    const std::vector<std::pair<std::string, std::string>> &files, const std::string &real_proc)
{
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mkdir(real_proc.c_str(), 0755) != 0 ||
        mount("/proc", real_proc.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0 ||
        mount("kelpa-fake-proc", "/proc", "tmpfs", 0, "mode=0755") != 0)
        return false;
    std::string own = std::to_string(getpid());
    if (symlink((real_proc + "/self").c_str(), "/proc/self") != 0 || mkdir(("/proc/" + own).c_str(), 0555) != 0)
        return false;
    for (const char *entry : {"exe", "maps", "smaps", "task", "status", "cmdline", "environ", "auxv", "fd"})
        if (symlink((real_proc + "/" + own + "/" + entry).c_str(), ("/proc/" + own + "/" + entry).c_str()) != 0)
            return false;
    for (const FakeProcess &p : processes) {
        std::string id = p.pid == "self" ? own : p.pid;
        std::string dir = "/proc/" + id;
        if ((mkdir(dir.c_str(), 0555) != 0 && errno != EEXIST) ||
            chown(dir.c_str(), p.dir_owner >= 0 ? (uid_t)p.dir_owner : p.owner, 0) != 0)
            return false;
        if (p.stat == "-")
            continue;
        // "//" keeps a user-mode emulator from taking the own process's path for its own file.
        std::string file = "/proc//" + id + "/stat", comm = "/proc//" + id + "/comm";
        if (!write_file(file, p.stat) || chown(file.c_str(), p.owner, 0) != 0 ||
            !write_file(comm, kernel_name(p.stat) + "\n") || chown(comm.c_str(), p.owner, 0) != 0)
            return false;
    }
    for (const auto &[name, text] : files)
        if (!write_file("/proc/" + name, text))
            return false;
    return true;
}

// "START COUNT" of the subordinate IDs of user uid in file (/etc/subuid or /etc/subgid), where
// a line names the user or its ID; "" when there is none.
std::string sub_range(const char *file, uid_t uid)
{
    struct passwd *entry = getpwuid(uid);
    std::string name = entry != nullptr ? entry->pw_name : "", id = std::to_string(uid);
    for (const std::string &line : lines_of(read_file(file))) {
        size_t colon = line.find(':'), second = line.find(':', colon + 1);
        if (colon == std::string::npos || second == std::string::npos)
            continue;
        std::string owner = line.substr(0, colon);
        if (owner == name || owner == id)
            return line.substr(colon + 1, second - colon - 1) + " " + line.substr(second + 1);
    }
    return "";
}

// Whether a child can enter a user namespace and make a fake /proc with these processes.
bool fake_proc_possible(const std::vector<FakeProcess> &processes)
{
    std::string dir = temp_dir();
    pid_t pid = fork();
    if (pid == 0)
        _exit(enter_user_namespace() && make_fake_proc(processes, {}, dir + "/real-proc") ? 0 : 1);
    return wait_status(pid) == 0;
}

// Waits for child and ends this process with its status.
[[noreturn]] void pass_status_of(pid_t child)
{
    int raw = 0;
    while (waitpid(child, &raw, 0) < 0 && errno == EINTR) {
    }
    _exit(WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw));
}

// In a child: goes on in a new PID namespace with its own /proc, where no signal can reach a
// process outside. Its first process only waits, so the program is not the namespace's init
// (which the kernel shields from its own signals).
void enter_own_pid_namespace()
{
    if (unshare(CLONE_NEWPID | CLONE_NEWNS) != 0)
        _exit(125);
    pid_t init = fork();
    if (init < 0)
        _exit(125);
    if (init > 0)
        pass_status_of(init);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
        _exit(125);
    pid_t program = fork();
    if (program < 0)
        _exit(125);
    if (program > 0)
        pass_status_of(program);
}

} // namespace

bool enter_user_namespace()
{
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (uid == 0)
        return true;
    // The maps are written from outside: by a helper that waits until this process has
    // entered the namespace, through the setuid tools that check the subordinate ranges.
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    pid_t self = getpid(), helper = fork();
    if (helper == 0) {
        close(ready[1]);
        char byte;
        if (read(ready[0], &byte, 1) != 1)
            _exit(1);
        std::string range = sub_range("/etc/subuid", uid), granges = sub_range("/etc/subgid", uid);
        if (range.empty() || granges.empty())
            _exit(1);
        std::string pid = std::to_string(self);
        std::string command = "newuidmap " + pid + " 0 " + std::to_string(uid) + " 1 1 " + range +
                              " && newgidmap " + pid + " 0 " + std::to_string(gid) + " 1 1 " + granges;
        execl("/bin/sh", "sh", "-c", (command + " 2>/dev/null").c_str(), (char *)nullptr);
        _exit(1);
    }
    close(ready[0]);
    bool entered = unshare(CLONE_NEWUSER) == 0;
    if (write(ready[1], "x", 1) != 1) {
    }
    close(ready[1]);
    bool mapped = helper > 0 && wait_status(helper) == 0;
    if (!entered)
        return false;
    // Without subordinate IDs, only the own ID is mapped.
    return mapped || (write_file_as_is("/proc/self/setgroups", "deny") &&
                      write_file_as_is("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
                      write_file_as_is("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"));
}

bool write_file_as_is(const std::string &path, const std::string &text)
{
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    close(fd);
    return ok;
}

bool namespaces_available()
{
    static int available = -1;
    if (available < 0)
        available = fake_proc_possible({});
    return available;
}

bool other_owners_available()
{
    static int available = -1;
    if (available < 0)
        available = fake_proc_possible({{"7", "7 (x) S 1 7 7 0 -1\n", 65534}});
    return available;
}

std::string temp_dir()
{
    // One root per test process, removed at its exit, with a directory per call inside it.
    static std::string root;
    static unsigned made;
    if (root.empty()) {
        register_clean_up();
        char pattern[] = "/tmp/kelpa-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr || chmod(pattern, 0755) != 0) {
            perror("mkdtemp");
            abort();
        }
        root = pattern;
        dirs_to_remove.push_back(root);
    }
    std::string dir = root + "/" + std::to_string(getpid()) + "-" + std::to_string(made++);
    if (mkdir(dir.c_str(), 0700) != 0) {
        perror("mkdir");
        abort();
    }
    return dir;
}

std::string read_file(const std::string &path)
{
    std::string text;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return text;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, file)) > 0)
        text.append(buf, n);
    fclose(file);
    return text;
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

int wait_status(pid_t pid)
{
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

RunResult run_program(const std::string &program, const std::vector<std::string> &argv,
                      const RunOptions &options)
{
    std::string dir = temp_dir();
    int out = open_temp(dir, "out"), err = open_temp(dir, "err"), in = -1;
    if (options.has_input || !options.input.empty()) {
        in = open_temp(dir, "in");
        if (write(in, options.input.data(), options.input.size()) != (ssize_t)options.input.size())
            abort();
        lseek(in, 0, SEEK_SET);
    } else {
        in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    }

    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0)
            _exit(125);
        if ((options.own_pid_namespace || options.use_fake_proc) && !enter_user_namespace())
            _exit(125);
        if (options.own_pid_namespace)
            enter_own_pid_namespace();
        if (options.use_fake_proc && !make_fake_proc(options.fake_proc, options.fake_proc_files, dir + "/real-proc"))
            _exit(125);
        if (options.in_child)
            options.in_child();
        for (const std::string &entry : options.env)
            putenv(const_cast<char *>(entry.c_str()));
        execv(program.c_str(), args.data());
        _exit(126);
    }
    close(in);

    // Give up on a program that hangs, so one fault cannot stall the suite.
    struct timespec pause = {0, 1000000};
    int raw = 0;
    long waited_ms = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        if (waited_ms++ > options.timeout_seconds * 1000L) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            break;
        }
        nanosleep(&pause, nullptr);
    }
    close(out);
    close(err);
    RunResult result;
    result.out = read_file(dir + "/out");
    result.err = read_file(dir + "/err");
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return result;
}

RunResult run_tyvar(const std::string &name, const std::vector<std::string> &args,
                    const RunOptions &options)
{
    std::vector<std::string> argv{name};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(TYVAR_BIN, argv, options);
}

Recording recorder(const std::vector<pid_t> &allow, int error)
{
    Recording r;
    r.log = temp_dir() + "/calls";
    std::string allowed;
    for (pid_t pid : allow)
        allowed += (allowed.empty() ? "" : ",") + std::to_string(pid);
    r.env = {"LD_PRELOAD=" RECORDER_SO, "REC_LOG=" + r.log, "REC_ALLOW=" + allowed};
    if (error != 0)
        r.env.push_back("REC_ERRNO=" + std::to_string(error));
    return r;
}

Recording fake_library(const std::vector<std::string> &extra)
{
    Recording r;
    r.log = temp_dir() + "/calls";
    r.env = {"LD_LIBRARY_PATH=" FAKE_LIB_DIR, "FAKE_LOG=" + r.log};
    r.env.insert(r.env.end(), extra.begin(), extra.end());
    return r;
}

Recording recorder_and_fake(const std::vector<pid_t> &allow, const std::vector<std::string> &extra)
{
    Recording r = recorder(allow);
    r.env.push_back("LD_LIBRARY_PATH=" FAKE_LIB_DIR);
    r.env.push_back("FAKE_LOG=" + r.log);
    r.env.insert(r.env.end(), extra.begin(), extra.end());
    return r;
}

pid_t spawn_program(const std::string &path, const std::vector<std::string> &argv,
                    const std::function<void()> &in_child)
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        setsid();
        if (in_child)
            in_child();
        execv(path.c_str(), args.data());
        _exit(127);
    }
    children_to_kill.push_back(pid);
    // The kernel names the process after the file it runs only once exec has happened.
    std::string comm_path = "/proc/" + std::to_string(pid) + "/comm";
    std::string expected = path.substr(path.rfind('/') + 1, 15) + "\n";
    for (int i = 0; i < 5000 && read_file(comm_path) != expected; ++i)
        usleep(1000);
    return pid;
}

pid_t spawn_named(const std::string &name, const std::string &seconds,
                  const std::function<void()> &in_child)
{
    std::string dir = temp_dir();
    chmod(dir.c_str(), 0755); // the child may run as another user
    std::string link = dir + "/" + name;
    if (symlink("/bin/sleep", link.c_str()) != 0)
        abort();
    return spawn_program(link, {name, seconds}, in_child);
}
