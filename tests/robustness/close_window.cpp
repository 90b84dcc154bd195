// close_window PID TITLE [SECONDS [SETTLE]]: waits up to SECONDS (60) until process PID shows a
// window titled TITLE, lets it run SETTLE seconds more (0), then asks it to close as a window
// manager would (WM_DELETE_WINDOW). Exit status 0 once sent, 1 on timeout.
// Scripts use it to end the program the normal way, which xdotool's windowclose (it destroys the
// window) does not.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <QString>

#include "tests/robustness/x_windows.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PID TITLE [SECONDS [SETTLE]]\n", argv[0]);
        return 2;
    }
    const qint64 pid = std::atoll(argv[1]);
    const QString title = QString::fromUtf8(argv[2]);
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    const int settle = argc > 4 ? std::atoi(argv[4]) : 0;
    XWindows x;
    if (!x.connected()) {
        std::fprintf(stderr, "close_window: no X display\n");
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const XWindows::Window& w : x.shown(pid))
            if (w.title == title) {
                std::this_thread::sleep_for(std::chrono::seconds(settle));
                x.close(w.id);
                return 0;
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::fprintf(stderr, "close_window: no window \"%s\" of process %lld\n", argv[2], static_cast<long long>(pid));
    return 1;
}
