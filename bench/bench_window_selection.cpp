// Cost of one click's worth of work in the real window, for each of the 112 elements: the button's click
// through the handler bound to it, the eight writes into the real QLineEdit boxes and the repaint they
// request; beside it, the same with that repaint carried out. Run on whatever platform QT_QPA_PLATFORM
// names (./bench.sh runs it on the virtual X screen).
#include "click_dispatch.h"
#include "form1.h"
#include "program_control.h"
#include "startup.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 201;

// The exit button is never clicked here; an error report would spoil the figures, so it ends the run.
class BenchControl : public vostrel::ProgramControl {
public:
    void endProgram(int) override {}
    void reportError(QWidget*, const QString&, const QString& message) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        std::exit(1);
    }
};

double medianOf(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vostrel::configureApplication();
    vostrel::Form1 window;
    BenchControl control;
    vostrel::ClickDispatch dispatch(window, control);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }

    std::vector<double> selection, withRepaint;
    for (int n = 1; n <= vostrel::Form1::kButtonCount - 1; ++n) {
        QPushButton* button = window.command(n);
        QPushButton* other = window.command(n % 112 + 1); // shown before each timed click
        std::vector<double> clickTimes, repaintTimes;
        for (int round = 0; round < kRounds; ++round) {
            other->click();
            QCoreApplication::processEvents();
            const Clock::time_point start = Clock::now();
            button->click();
            const Clock::time_point clicked = Clock::now();
            QCoreApplication::processEvents();
            const Clock::time_point repainted = Clock::now();
            clickTimes.push_back(microseconds(clicked - start));
            repaintTimes.push_back(microseconds(repainted - start));
        }
        selection.push_back(medianOf(clickTimes));
        withRepaint.push_back(medianOf(repaintTimes));
    }
    const auto [fastest, slowest] = std::minmax_element(selection.begin(), selection.end());
    std::printf(
        "selection_us=%.2f selection_fastest_us=%.2f selection_slowest_us=%.2f with_repaint_us=%.2f\n",
        medianOf(selection), *fastest, *slowest, medianOf(withRepaint));
    return 0;
}
