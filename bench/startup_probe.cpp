// Starts a program and measures, from outside and without any help from it, how long it takes from exec
// until its window is mapped and every pixel of it has been painted, and how much memory it then holds.
//
//   startup_probe PROGRAM [ARG...]   prints "startup_us=<microseconds> rss_kib=<VmRSS>"
//
// It watches the X server: new top-level windows, their mapping, and with the DAMAGE extension every
// rectangle drawn into them. A window belongs to the program when its _NET_WM_PID is the child's pid.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGiveUpAfter = std::chrono::seconds(30);
constexpr auto kSettle = std::chrono::milliseconds(500); // before the memory is read

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "startup_probe: %s\n", message.c_str());
    std::exit(1);
}

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;
template <typename Reply> ReplyPtr<Reply> owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

// A window of interest and which of its pixels have been drawn so far.
struct Watched {
    int width = 0, height = 0;
    bool mapped = false;
    bool ours = false;
    std::vector<unsigned char> painted;
    long paintedCount = 0;

    void resize(int w, int h) {
        if (w == width && h == height)
            return;
        width = w;
        height = h;
        painted.assign(std::size_t(w) * std::size_t(h), 0);
        paintedCount = 0;
    }
    void paint(int x, int y, int w, int h) {
        for (int row = std::max(0, y); row < std::min(height, y + h); ++row) {
            for (int column = std::max(0, x); column < std::min(width, x + w); ++column) {
                unsigned char& pixel = painted[std::size_t(row) * std::size_t(width) + std::size_t(column)];
                if (!pixel) {
                    pixel = 1;
                    ++paintedCount;
                }
            }
        }
    }
    bool complete() const { return ours && mapped && width > 0 && paintedCount == long(width) * height; }
};

class Probe {
public:
    Probe() {
        int screenNumber = 0;
        connection_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection_))
            fail("cannot connect to the X server named by DISPLAY");
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&screens);
        root_ = screens.data->root;

        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (!damage || !damage->present)
            fail("the X server has no DAMAGE extension");
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1),
                                                 nullptr));

        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
    }
    ~Probe() { xcb_disconnect(connection_); }

    // Runs the program; returns the time from exec to its first completely painted window.
    Clock::duration measure(char* const argv[]) {
        const Clock::time_point start = Clock::now();
        child_ = fork();
        if (child_ < 0)
            fail("fork failed");
        if (child_ == 0) {
            // The program's chatter stays out of the table; should that fail, it is only noise.
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
                std::perror("startup_probe: cannot silence the program");
            execv(argv[0], argv);
            _exit(127);
        }
        pollfd watch{xcb_get_file_descriptor(connection_), POLLIN, 0};
        while (Clock::now() - start < kGiveUpAfter) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool done = handle(event);
                std::free(event);
                if (done)
                    return Clock::now() - start;
            }
            if (int status = 0; waitpid(child_, &status, WNOHANG) == child_)
                fail("the program ended before its window was painted");
            poll(&watch, 1, 100);
        }
        stop();
        fail("no painted window within 30 seconds");
    }

    long residentKib() const {
        std::ifstream status("/proc/" + std::to_string(child_) + "/status");
        std::string key;
        long kib = -1;
        while (status >> key) {
            if (key == "VmRSS:") {
                status >> kib;
                break;
            }
            status.ignore(1 << 16, '\n');
        }
        return kib;
    }

    void stop() {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }

private:
    xcb_atom_t atom(const char* name) {
        auto reply = owned(xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, uint16_t(strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    bool ownedByChild(xcb_window_t window) {
        auto reply = owned(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1),
            nullptr));
        return reply && xcb_get_property_value_length(reply.get()) == 4 &&
               *static_cast<uint32_t*>(xcb_get_property_value(reply.get())) == uint32_t(child_);
    }

    void watch(xcb_window_t window, int width, int height) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(connection_, xcb_generate_id(connection_), window,
                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        windows_[window].resize(width, height);
        // It may have been mapped before the selection took effect.
        auto attributes = owned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr));
        if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED)
            mapped(window);
    }

    void mapped(xcb_window_t window) {
        Watched& watched = windows_[window];
        watched.mapped = true;
        watched.ours = ownedByChild(window);
    }

    bool handle(const xcb_generic_event_t* event) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (created->parent == root_)
                watch(created->window, created->width, created->height);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (windows_.count(map->window))
                mapped(map->window);
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            if (auto found = windows_.find(configure->window); found != windows_.end())
                found->second.resize(configure->width, configure->height);
        } else if (type == damageEvent_) {
            const auto* damage = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            if (auto found = windows_.find(damage->drawable); found != windows_.end()) {
                found->second.paint(damage->area.x, damage->area.y, damage->area.width, damage->area.height);
                return found->second.complete();
            }
        }
        return false;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    uint8_t damageEvent_ = 0;
    xcb_atom_t pidAtom_ = xcb_atom_t(XCB_ATOM_NONE);
    pid_t child_ = -1;
    std::map<xcb_window_t, Watched> windows_;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe PROGRAM [ARG...]\n");
        return 2;
    }
    Probe probe;
    const Clock::duration startup = probe.measure(argv + 1);
    std::this_thread::sleep_for(kSettle);
    const long kib = probe.residentKib();
    probe.stop();
    std::printf(
        "startup_us=%lld rss_kib=%ld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(startup).count()), kib);
    return 0;
}
