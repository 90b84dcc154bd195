// Start-up: time from process start until its first top-level window is mapped on the X server,
// and the process's peak memory, for the program and for a bare Qt window built in this tree.
// Usage: bench_startup PROGRAM BASELINE [RUNS]   (needs DISPLAY)
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

long peakKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

struct Run {
    double ms;
    long kib;
};

Run once(Display* dpy, const char* program)
{
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, True);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    double ms = -1;
    for (;;) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == MapNotify) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it settle after the first paint
    const long kib = peakKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return {ms, kib};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM BASELINE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<double> t[2], m[2];
    once(dpy, argv[1]);  // warm the file cache for both
    once(dpy, argv[2]);
    for (int i = 0; i < runs; ++i)
        for (int p = 0; p < 2; ++p) {
            const Run r = once(dpy, argv[1 + p]);
            t[p].push_back(r.ms);
            m[p].push_back(static_cast<double>(r.kib));
        }
    std::printf("program : start-up %.1f ms (median of %d), peak memory %.0f KiB\n", median(t[0]), runs, median(m[0]));
    std::printf("baseline: start-up %.1f ms (median of %d), peak memory %.0f KiB\n", median(t[1]), runs, median(m[1]));
    std::printf("ratio   : time %.2fx, memory %.2fx\n", median(t[0]) / median(t[1]), median(m[0]) / median(m[1]));
    XCloseDisplay(dpy);
    return 0;
}
