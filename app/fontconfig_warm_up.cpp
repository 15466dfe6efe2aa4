#include "fontconfig_warm_up.h"

#ifdef VOSTREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <system_error>

namespace vostrel {

FontconfigWarmUp::FontconfigWarmUp() {
#ifdef VOSTREL_HAVE_FONTCONFIG
#ifdef __GLIBC__
    // One heap for every thread: what the loading thread allocates lives as long as the program, and in
    // an arena of its own it would keep pages apart from the main heap's free space.
    mallopt(M_ARENA_MAX, 1);
#endif
    try {
        // Whatever it loads, Qt finds in place; should it fail, Qt tries again itself.
        loading_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: Qt loads the configuration itself, only later.
    }
#endif
}

FontconfigWarmUp::~FontconfigWarmUp() {
    wait();
}

void FontconfigWarmUp::wait() {
    if (loading_.joinable())
        loading_.join();
}

} // namespace vostrel
