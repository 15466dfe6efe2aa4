#pragma once

#include "element_table.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <optional>

class QWidget;

namespace vostrel {

enum class GridStep { Left, Right, Up, Down };

// The element reached from element `number` by one step on the printed table: the nearest button
// along its row for Left and Right, along its column for Up and Down, with the lanthanide and actinide
// rows counted below period 7. Up from the lanthanides thus lands in period 7, or in period 6 where
// period 7 has no element in that column. 0 at an edge, and for a number without a button.
int gridNeighbour(int number, GridStep step);

// The step an arrow key (a Qt::Key) takes on the grid; nothing for any other key.
std::optional<GridStep> arrowStep(int key);

// Arrow keys on an element button move the keyboard focus across the grid, as a sighted reader moves
// across the table. Qt's own push buttons treat arrows like Tab and Shift+Tab, which on a grid sends the
// focus somewhere unrelated; this filter takes every arrow key press on an element button, so an arrow
// at an edge does nothing at all. Tab and Shift+Tab are left alone.
class GridArrowKeys : public QObject {
    Q_OBJECT

public:
    explicit GridArrowKeys(QObject* parent)
        : QObject(parent) {}

    // Takes over the arrow keys of `button`, the button of element `number`.
    void addButton(int number, QWidget* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int numberOf(const QObject* button) const;

    std::array<QPointer<QWidget>, kLastElement + 1> buttons_; // by element number; [0] stays empty
};

} // namespace vostrel
