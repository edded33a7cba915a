// One benchmark run of one program on the X server in DISPLAY:
//
//     pellavin_bench_driver floor|reference|pellavin IDLE_SECONDS -- PROGRAM [ARGS...]
//
// A reference's window is given the focus and the pointer, as Pellavin's main window has.
// Starts the program, times its windows' MapNotify events on the root window, presses the
// keys that take Pellavin from its splash window to a question, then reads the program's
// peak memory and its CPU time over IDLE_SECONDS from /proc. Prints one line of key=value.
// With no window manager, windows map straight away and are children of the root window;
// the driver gives each the focus itself before it presses a key there.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double ms)
{
    return Clock::now()
           + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
}

double msSince(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Mapped
{
    Window window;
    Clock::time_point at;
    std::string name;
};

Display *dpy = nullptr;
pid_t child = 0;

[[noreturn]] void fail(const char *what)
{
    std::printf("error=%s\n", what);
    std::fflush(stdout);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::exit(1);
}

std::string windowName(Window window)
{
    char *name = nullptr;
    std::string result;
    if (XFetchName(dpy, window, &name) && name)
        result = name;
    if (name)
        XFree(name);
    return result;
}

// The next top-level window that the program maps; menus and tooltips bypass the window
// manager and are not counted.
Mapped nextMap(double timeoutMs)
{
    const Clock::time_point deadline = after(timeoutMs);
    const int fd = ConnectionNumber(dpy);
    for (;;) {
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect
                && event.xmap.event == DefaultRootWindow(dpy)) {
                const Clock::time_point at = Clock::now();
                return {event.xmap.window, at, windowName(event.xmap.window)};
            }
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            child = 0;
            fail("program-exited");
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            fail("no-window-mapped");
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
    }
}

// Lets the program settle while the driver keeps its event queue empty.
void settle(double ms)
{
    const Clock::time_point until = after(ms);
    while (Clock::now() < until) {
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Clock::time_point pressKey(Window window, KeySym sym)
{
    XSetInputFocus(dpy, window, RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    const KeyCode code = XKeysymToKeycode(dpy, sym);
    const Clock::time_point at = Clock::now();
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    XFlush(dpy);
    return at;
}

void pointAt(Window window)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(dpy, window, &attributes);
    XWarpPointer(dpy, None, window, 0, 0, 0, 0, attributes.width / 4, attributes.height / 4);
    XSync(dpy, False);
}

std::optional<long> statusKb(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return std::nullopt;
}

// utime + stime in milliseconds, every thread counted.
double cpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        fail("no-stat");
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields from the third on: state is the 3rd, utime the 14th, stime the 15th.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The scheduler's own count, in nanoseconds, of every live thread's time on a CPU.
double schedMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return 0;
    double total = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
        double ns = 0;
        if (in >> ns)
            total += ns / 1e6;
    }
    closedir(dir);
    return total;
}

}

int main(int argc, char *argv[])
{
    if (argc < 5 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr, "usage: %s floor|reference|pellavin IDLE_SECONDS -- PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    const bool pellavin = std::strcmp(argv[1], "pellavin") == 0;
    const bool reference = std::strcmp(argv[1], "reference") == 0;
    const double idleSeconds = std::atof(argv[2]);

    dpy = XOpenDisplay(nullptr);
    if (!dpy)
        fail("no-display");
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor))
        fail("no-xtest");
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    const Clock::time_point started = Clock::now();
    child = fork();
    if (child == 0) {
        execvp(argv[4], argv + 4);
        _exit(127);
    }
    if (child < 0)
        fail("fork");

    const Mapped first = nextMap(20000);
    // The CPU time to get there, which other programs' load changes less than the wall time.
    std::printf("startup_ms=%.1f startup_cpu_ms=%.1f", msSince(started, first.at), schedMs(child));

    if (pellavin) {
        // A student reads the splash window before pressing a key.
        settle(1000);
        const Clock::time_point pressed = pressKey(first.window, XK_a);
        const Mapped prompt = nextMap(20000);
        if (prompt.name != "User Name Input")
            fail("not-the-name-prompt");
        std::printf(" handover_ms=%.1f", msSince(pressed, prompt.at));
        settle(300);
        pressKey(prompt.window, XK_Return);
        const Mapped greeting = nextMap(20000);
        settle(300);
        pressKey(greeting.window, XK_Return);
        const Mapped main = nextMap(20000);
        if (main.name != "Pellavin")
            fail("not-the-main-window");
        // The pointer over the question, where the animated cursor shows (over the answer
        // box it would be the box's own I-beam).
        pointAt(main.window);
    }
    if (reference) {
        XSetInputFocus(dpy, first.window, RevertToPointerRoot, CurrentTime);
        pointAt(first.window);
    }

    // Under callgrind a first paint takes seconds: the idle time starts after it.
    const bool counting = std::getenv("BENCH_CALLGRIND") != nullptr;
    settle(counting ? 8000 : 1000);
    const std::optional<long> hwm = statusKb(child, "VmHWM");
    std::printf(" hwm_kb=%ld", hwm.value_or(-1));

    // Under callgrind (BENCH_CALLGRIND set), the counts start afresh with the idle time and
    // are written out at its end: the instructions it took, the same from run to run.
    const std::string control = "callgrind_control ";
    const std::string pid = " " + std::to_string(child) + " >/dev/null 2>&1";
    if (idleSeconds > 0 && counting && std::system((control + "-z" + pid).c_str()) != 0)
        fail("callgrind-control");
    if (idleSeconds > 0) {
        const double cpuBefore = cpuMs(child);
        const double schedBefore = schedMs(child);
        const Clock::time_point idleStart = Clock::now();
        settle(idleSeconds * 1000);
        const double wall = msSince(idleStart, Clock::now());
        std::printf(" idle_cpu_pct=%.3f idle_sched_pct=%.3f", 100.0 * (cpuMs(child) - cpuBefore) / wall,
                    100.0 * (schedMs(child) - schedBefore) / wall);
        if (counting && std::system((control + "-d" + pid).c_str()) != 0)
            fail("callgrind-control");
    }
    std::printf("\n");
    std::fflush(stdout);

    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(dpy);
    return 0;
}
