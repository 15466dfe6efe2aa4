#pragma once

#include "click_dispatch.h"
#include "element_table.h"
#include "form1.h"
#include "program_control.h"
#include "startup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

// The eight texts of element record n, in box order.
inline QStringList recordTexts(int n) {
    QStringList texts;
    for (auto field : vostrel::kFieldOrder) {
        const std::string_view value = vostrel::elementRecord(n)->*field;
        texts << QString::fromUtf8(value.data(), qsizetype(value.size()));
    }
    return texts;
}

// Watches what the program would end with and what it would report, without a modal dialog.
class RecordingControl : public vostrel::ProgramControl {
public:
    std::vector<int> endings;
    QStringList reports;
    void endProgram(int exitStatus) override { endings.push_back(exitStatus); }
    void reportError(QWidget*, const QString&, const QString& message) override { reports << message; }
};

// The running window as the program builds it, shown on the offscreen platform.
struct RunningWindow {
    RecordingControl control;
    vostrel::Form1 window;
    vostrel::ClickDispatch dispatch{window, control};

    RunningWindow() {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the window did not become active");
        if (QWidget* first = window.firstInTabOrder())
            first->setFocus();
    }
    QPushButton* button(int n) const { return window.command(n); }
    QLineEdit* box(int k) const { return window.text(k); }
    QStringList boxTexts() const {
        QStringList texts;
        for (int k = 1; k <= vostrel::Form1::kTextCount; ++k)
            texts << box(k)->text();
        return texts;
    }
};
