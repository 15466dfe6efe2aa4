#pragma once

#include "element_selection.h"

#include <array>
#include <string>
#include <vector>

// A stand-in for the window's detail boxes: keeps their texts, the order of writes and how many boxes
// are held at once, and can refuse the write to one chosen box.
class RecordingWindow : public vostrel::DetailWindow {
public:
    std::array<std::string, 8> text;
    std::vector<int> writes; // box numbers in the order they were written
    int failingBox = 0;      // 0: every write succeeds
    int failureStatus = -7;
    int held = 0;
    int mostHeld = 0;

    vostrel::TextBoxRef textBox(int k) override { return std::make_unique<Box>(*this, k); }

private:
    class Box : public vostrel::TextBox {
    public:
        Box(RecordingWindow& w, int k)
            : window_(w)
            , k_(k) {
            window_.mostHeld = std::max(window_.mostHeld, ++window_.held);
        }
        ~Box() override { --window_.held; }
        int setText(std::string_view value) override {
            if (k_ == window_.failingBox)
                return window_.failureStatus;
            window_.writes.push_back(k_);
            window_.text[static_cast<std::size_t>(k_ - 1)] = std::string(value);
            return 0;
        }

    private:
        RecordingWindow& window_;
        int k_;
    };
};
