// tavrin_startwait: starts a program and reports how long its top-level window
// with a given title takes to be mapped, exposed and painted, and the
// program's resident memory at that moment.
//
// It reacts to X events instead of polling: SubstructureNotify on the root
// reports every new top-level window and its mapping; each new window gets
// ExposureMask and PropertyChangeMask so its Expose and title changes arrive as
// they happen. With the DAMAGE extension (Xvfb has it) a damage object on the
// root reports the program's first drawing into the exposed window, which is
// when the content shows; without it the Expose is the end point.
//
// Output (stdout, one line):
//   startup_ms=<launch to painted> exposed_ms=<launch to exposed> rss_kib=<VmRSS>
// Exit status: 0 measured, 1 the program ended or the timeout passed first,
// 2 usage or X errors.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "childprocess.h"

namespace {

bool verbose = false;
double launchedAt = 0;

double nowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void trace(Window window, const char* what, double at) {
    if (verbose) {
        std::fprintf(stderr, "%9.3f ms  0x%lx %s\n", at - launchedAt, window, what);
    }
}

// Windows die between our event and our request (tooltips, Qt's helper
// windows); such BadWindow/BadDrawable errors are expected, not fatal.
int ignoreVanishedWindows(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow && error->error_code != BadDrawable &&
        error->error_code != BadMatch) {
        char text[256];
        XGetErrorText(error->display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "tavrin_startwait: X error: %s\n", text);
    }
    return 0;
}

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool overlaps(const XRectangle& r) const {
        return r.x < x + width && x < r.x + r.width && r.y < y + height && y < r.y + r.height;
    }
};

struct Tracked {
    bool titleMatches = false;
    double titleMatchedAt = 0;
    bool mapped = false;
    std::optional<double> exposedAt;
    std::optional<double> paintedAt;
    Rect onRoot;
};

class Watcher {
public:
    Watcher(Display* display, std::string title) : dpy_(display), title_(std::move(title)) {
        root_ = DefaultRootWindow(dpy_);
        netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
        utf8String_ = XInternAtom(dpy_, "UTF8_STRING", False);
        XSelectInput(dpy_, root_, SubstructureNotifyMask);
        int error = 0;
        if (XDamageQueryExtension(dpy_, &damageEvent_, &error)) {
            damage_ = XDamageCreate(dpy_, root_, XDamageReportRawRectangles);
        }
        // The selection must be in force before the program starts.
        XSync(dpy_, False);
    }

    bool hasDamage() const { return damage_ != 0; }

    // Handles one event; returns the finished window's record once the window
    // with the title is mapped, exposed and (with DAMAGE) painted.
    const Tracked* handle(const XEvent& event) {
        const double at = nowMs();
        if (damage_ && event.type == damageEvent_ + XDamageNotify) {
            onDamage(reinterpret_cast<const XDamageNotifyEvent&>(event), at);
        } else {
            switch (event.type) {
                case CreateNotify:
                    if (event.xcreatewindow.parent == root_) {
                        track(event.xcreatewindow.window, at);
                    }
                    break;
                case DestroyNotify:
                    windows_.erase(event.xdestroywindow.window);
                    break;
                case MapNotify:
                    if (Tracked* t = find(event.xmap.window)) {
                        t->mapped = true;
                        trace(event.xmap.window, "mapped", at);
                    }
                    break;
                case UnmapNotify:
                    if (Tracked* t = find(event.xunmap.window)) {
                        t->mapped = false;
                    }
                    break;
                case Expose:
                    if (Tracked* t = find(event.xexpose.window); t && t->mapped && !t->exposedAt) {
                        trace(event.xexpose.window, "exposed", at);
                        markExposed(event.xexpose.window, *t, at);
                    }
                    break;
                case PropertyNotify:
                    if (event.xproperty.atom == XA_WM_NAME || event.xproperty.atom == netWmName_) {
                        if (Tracked* t = find(event.xproperty.window)) {
                            checkTitle(event.xproperty.window, *t, at);
                        }
                    }
                    break;
                default:
                    break;
            }
        }
        for (const auto& [window, t] : windows_) {
            if (t.titleMatches && t.exposedAt && (t.paintedAt || !damage_)) {
                return &t;
            }
        }
        return nullptr;
    }

private:
    Tracked* find(Window window) {
        const auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : &it->second;
    }

    void track(Window window, double at) {
        Tracked& t = windows_[window];
        trace(window, "created", at);
        XSelectInput(dpy_, window, StructureNotifyMask | ExposureMask | PropertyChangeMask);
        checkTitle(window, t, at);
        // The program may have mapped the window before our selection reached
        // the server; its Expose then went by unseen. Without a window
        // manager the server exposes a window as it maps it, so the mapping,
        // seen now, stands in for the Expose.
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy_, window, &attributes) && attributes.map_state != IsUnmapped) {
            t.mapped = true;
            trace(window, "already mapped when first seen; counted as exposed", at);
            markExposed(window, t, at);
        }
    }

    void markExposed(Window window, Tracked& t, double at) {
        t.exposedAt = at;
        XWindowAttributes attributes;
        Window child;
        if (XGetWindowAttributes(dpy_, window, &attributes) &&
            XTranslateCoordinates(dpy_, window, root_, 0, 0, &t.onRoot.x, &t.onRoot.y, &child)) {
            t.onRoot.width = attributes.width;
            t.onRoot.height = attributes.height;
        }
    }

    void onDamage(const XDamageNotifyEvent& event, double at) {
        for (auto& [window, t] : windows_) {
            if (t.exposedAt && !t.paintedAt && t.onRoot.overlaps(event.area)) {
                // A window whose title comes only after its first paint is
                // shown from the moment it carries the title.
                t.paintedAt = std::max(at, t.titleMatches ? t.titleMatchedAt : at);
                trace(window, "painted", at);
            }
        }
    }

    void checkTitle(Window window, Tracked& t, double at) {
        const bool matches =
            readTitle(window, netWmName_) == title_ || readTitle(window, XA_WM_NAME) == title_;
        if (matches && !t.titleMatches) {
            t.titleMatchedAt = at;
            trace(window, "has the title", at);
            if (t.paintedAt) {
                t.paintedAt = std::max(*t.paintedAt, at);
            }
        }
        t.titleMatches = matches;
    }

    // The title as UTF-8: UTF8_STRING as it is, STRING (ISO 8859-1) converted.
    std::optional<std::string> readTitle(Window window, Atom property) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, window, property, 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &remaining, &data) != Success ||
            !data) {
            return std::nullopt;
        }
        std::string text;
        if (format == 8 && type == utf8String_) {
            text.assign(reinterpret_cast<const char*>(data), count);
        } else if (format == 8 && type == XA_STRING) {
            for (unsigned long i = 0; i < count; ++i) {
                const unsigned char c = data[i];
                if (c < 0x80) {
                    text += static_cast<char>(c);
                } else {
                    text += static_cast<char>(0xC0 | (c >> 6));
                    text += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
        }
        XFree(data);
        return text;
    }

    Display* dpy_;
    std::string title_;
    Window root_;
    Atom netWmName_;
    Atom utf8String_;
    int damageEvent_ = 0;
    Damage damage_ = 0;
    std::map<Window, Tracked> windows_;
};

int usage() {
    std::fprintf(
        stderr,
        "usage: tavrin_startwait [--timeout SECONDS] [--quiet] [--verbose] TITLE PROGRAM [ARG...]\n"
        "Starts PROGRAM on $DISPLAY and waits for its window titled TITLE.\n"
        "  --timeout  give up after SECONDS (default 20)\n"
        "  --quiet    discard the program's output\n"
        "  --verbose  trace the window events on stderr\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double timeoutMs = 20000;
    bool quiet = false;
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--timeout") == 0 && arg + 1 < argc) {
            char* end = nullptr;
            timeoutMs = std::strtod(argv[++arg], &end) * 1000;
            if (*end != '\0' || !(timeoutMs > 0)) {
                return usage();
            }
        } else if (std::strcmp(argv[arg], "--quiet") == 0) {
            quiet = true;
        } else if (std::strcmp(argv[arg], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[arg], "--") == 0) {
            ++arg;
            break;
        } else {
            return usage();
        }
    }
    if (argc - arg < 2) {
        return usage();
    }
    const std::string title = argv[arg];
    const std::vector<std::string> command(argv + arg + 1, argv + argc);

    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "tavrin_startwait: cannot open display '%s'\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return 2;
    }
    XSetErrorHandler(ignoreVanishedWindows);
    Watcher watcher(dpy, title);
    if (!watcher.hasDamage()) {
        std::fprintf(stderr, "tavrin_startwait: no DAMAGE extension; timing up to the Expose\n");
    }

    ChildProcess child;
    launchedAt = nowMs();
    if (const std::string error = child.start(command, ConnectionNumber(dpy), quiet);
        !error.empty()) {
        std::fprintf(stderr, "tavrin_startwait: %s\n", error.c_str());
        return 1;
    }

    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {child.exitFd(), POLLIN, 0}};
    while (true) {
        // Xlib may already hold read events; poll() only sees the socket.
        while (XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (const Tracked* done = watcher.handle(event)) {
                const long rss = child.residentKib();
                std::printf("startup_ms=%.3f exposed_ms=%.3f rss_kib=%ld\n",
                            *(done->paintedAt ? done->paintedAt : done->exposedAt) - launchedAt,
                            *done->exposedAt - launchedAt, rss);
                std::fflush(stdout);
                child.terminate(3000);
                XCloseDisplay(dpy);
                return 0;
            }
        }
        const double left = launchedAt + timeoutMs - nowMs();
        if (left <= 0) {
            std::fprintf(stderr, "tavrin_startwait: no painted window titled '%s' within %.1f s\n",
                         title.c_str(), timeoutMs / 1000);
            child.terminate(1000);
            return 1;
        }
        poll(fds, 2, static_cast<int>(left) + 1);
        if ((fds[1].revents & POLLIN) && child.reap()) {
            std::fprintf(stderr, "tavrin_startwait: %s %s before its window showed\n",
                         command[0].c_str(), child.exitDescription().c_str());
            return 1;
        }
    }
}
