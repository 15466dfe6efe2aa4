#pragma once

#include <QWidget>

#include <array>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vostrel {

// The program's one window: the element grid, the detail panel, the title, region captions with
// their brackets, the colour legend and the exit button, all at fixed places.
class Form1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int kButtonCount = 113; // Command1..Command112 the elements, Command113 the exit
    static constexpr int kLabelCount = 17;
    static constexpr int kTextCount = 8;

    explicit Form1(QWidget* parent = nullptr);

    QPushButton* command(int n) const; // CommandN, or nullptr outside 1..113
    QLabel* label(int n) const;        // LabelN, or nullptr outside 1..17
    QLineEdit* text(int k) const;      // TextK, or nullptr when there is no such box (any more)
    QWidget* firstInTabOrder() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void addToTabOrder(int tabIndex, QWidget* control);
    void chainTabOrder();

    std::array<QPushButton*, kButtonCount> commands_{};
    std::array<QLabel*, kLabelCount> labels_{};
    std::vector<std::pair<int, QWidget*>> tabOrder_;
};

} // namespace vostrel
