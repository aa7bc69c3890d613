// Start-up of the wizard: the time from starting the program `contaxio` until its first page
// is on the screen (the window exposed), as the program itself reports it with
// CONTAXIO_TRACE=1. Each run starts a new process in a session of its own (a private runtime
// folder, a fresh configuration folder, an empty device tree, English) and ends it when the
// page is shown. Without a display the program draws on Qt's offscreen platform.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 21;
constexpr auto kLimit = std::chrono::seconds(20);
constexpr char kShown[] = "contaxio: first page shown\n";

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

struct Session {
    std::filesystem::path folder;

    Session() {
        char pattern[] = "/tmp/contaxio-startup-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder = pattern;
        std::filesystem::create_directories(folder / "sys" / "class" / "tty");
        std::filesystem::create_directories(folder / "dev");
        std::filesystem::create_directory(folder / "runtime");
        std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    }
    ~Session() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

// One start: milliseconds until the first page was shown; negative when it was not.
double startOnce(const std::string& program, const std::vector<std::string>& options) {
    const Session session;
    std::vector<std::string> environment{
        "XDG_RUNTIME_DIR=" + (session.folder / "runtime").string(),
        "XDG_CONFIG_HOME=" + (session.folder / "config").string(),
        "CONTAXIO_SYSFS_ROOT=" + (session.folder / "sys").string(),
        "CONTAXIO_DEV_ROOT=" + (session.folder / "dev").string(),
        "LANGUAGE=en_US",
        "CONTAXIO_TRACE=1",
    };
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool haveDisplay =
        std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    environment.push_back(std::string("QT_QPA_PLATFORM=") + (platform != nullptr ? platform
                                                             : haveDisplay       ? ""
                                                                                 : "offscreen"));
    for (const char* variable : {"HOME", "PATH", "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY"}) {
        if (const char* value = std::getenv(variable)) {
            environment.push_back(std::string(variable) + '=' + value);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> words{program};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int errors[2];
    if (::pipe2(errors, O_CLOEXEC) != 0) {
        std::perror("pipe2");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    pid_t pid = -1;
    const auto start = Clock::now();
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(errors[1]);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }

    double shownAfter = -1.0;
    std::string seen;
    const auto deadline = start + kLimit;
    while (Clock::now() < deadline) {
        pollfd watch{errors[0], POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&watch, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
            break;
        }
        char buffer[512];
        const ssize_t got = ::read(errors[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        seen.append(buffer, static_cast<std::size_t>(got));
        if (seen.find(kShown) != std::string::npos) {
            shownAfter = milliseconds(Clock::now() - start);
            break;
        }
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(errors[0]);
    if (shownAfter < 0) {
        std::fprintf(stderr, "the first page was not shown; the program wrote:\n%s\n",
                     seen.c_str());
    }
    return shownAfter;
}

void report(const std::string& program, const std::vector<std::string>& options,
            const char* label) {
    startOnce(program, options);  // loads the program and Qt into the page cache
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const double time = startOnce(program, options);
        if (time < 0) {
            std::exit(1);
        }
        times.push_back(time);
    }
    std::sort(times.begin(), times.end());
    std::printf("  %-28s median %6.1f ms   min %6.1f ms   max %6.1f ms\n", label,
                times[times.size() / 2], times.front(), times.back());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 1 ? argv[1] : CONTAXIO_PROGRAM;
    std::printf(
        "Wizard start-up: from starting contaxio to its first page shown, %d runs "
        "each (%s)\n",
        kRuns, std::getenv("DISPLAY") != nullptr ? "on the display" : "offscreen");
    report(program, {}, "contaxio");
    report(program, {"--demo"}, "contaxio --demo");
    return 0;
}
