#pragma once

#include <thread>

namespace vostrel {

// Loads fontconfig's configuration and font caches on a second thread while the application object
// connects to the display. Reading the configuration (dozens of XML files) is the largest single cost
// before the window can draw text, and nothing else needs it until the window font is set up; wait()
// is called before that. Where the program is built without fontconfig, it does nothing.
class FontconfigWarmUp {
public:
    FontconfigWarmUp();
    ~FontconfigWarmUp();
    FontconfigWarmUp(const FontconfigWarmUp&) = delete;
    FontconfigWarmUp& operator=(const FontconfigWarmUp&) = delete;

    void wait();

private:
    std::thread loading_;
};

} // namespace vostrel
