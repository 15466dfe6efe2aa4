// Cost of element selection alone: each of the 112 elements written into a window double that keeps
// the eight strings, as a Qt window would copy them into its boxes.
#include "element_selection.h"
#include "element_table.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class CopyingWindow : public vostrel::DetailWindow {
public:
    std::array<std::string, 8> text;
    vostrel::TextBoxRef textBox(int k) override {
        return std::make_unique<Box>(text[static_cast<std::size_t>(k - 1)]);
    }

private:
    struct Box : vostrel::TextBox {
        explicit Box(std::string& s)
            : target(s) {}
        int setText(std::string_view value) override {
            target.assign(value);
            return 0;
        }
        std::string& target;
    };
};

} // namespace

int main() {
    using Clock = std::chrono::steady_clock;
    constexpr int kRounds = 2000;
    CopyingWindow window;
    std::vector<double> perElementNs;
    for (int n = vostrel::kFirstElement; n <= vostrel::kLastElement; ++n) {
        const auto start = Clock::now();
        for (int i = 0; i < kRounds; ++i)
            vostrel::selectElement(window, n);
        const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
        perElementNs.push_back(spent.count() / kRounds);
    }
    std::sort(perElementNs.begin(), perElementNs.end());
    std::printf("selection against a copying double, %d rounds per element\n", kRounds);
    std::printf("  median %.0f ns, fastest %.0f ns, slowest %.0f ns per selection\n",
                perElementNs[perElementNs.size() / 2], perElementNs.front(), perElementNs.back());
    return 0;
}
