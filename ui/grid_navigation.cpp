#include "grid_navigation.h"

#include "element_grid_table.h"

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <limits>
#include <optional>

namespace vostrel {
namespace {

constexpr int kStepCount = 4;
using Neighbours = std::array<int, kStepCount>; // indexed by GridStep

// How far `to` lies from `from` in the direction of `step`, counted in grid places, when it stands
// on the same row (Left, Right) or column (Up, Down); nothing when it lies elsewhere or behind.
// Grid rows run top to bottom: periods 1 to 7, then the lanthanides and the actinides.
std::optional<int> distanceAhead(const ElementButtonSpec& from, const ElementButtonSpec& to, GridStep step) {
    int along = 0;
    int across = 0;
    switch (step) {
    case GridStep::Left:
        along = from.column - to.column;
        across = to.row - from.row;
        break;
    case GridStep::Right:
        along = to.column - from.column;
        across = to.row - from.row;
        break;
    case GridStep::Up:
        along = from.row - to.row;
        across = to.column - from.column;
        break;
    case GridStep::Down:
        along = to.row - from.row;
        across = to.column - from.column;
        break;
    }
    if (across != 0 || along <= 0)
        return std::nullopt;
    return along;
}

// Worked out once from the grid table: the neighbour of every element in every direction.
const std::array<Neighbours, kLastElement + 1>& neighbourTable() {
    static const auto table = [] {
        std::array<Neighbours, kLastElement + 1> table{};
        for (const ElementButtonSpec& from : elementButtons()) {
            for (int s = 0; s < kStepCount; ++s) {
                int nearest = std::numeric_limits<int>::max();
                for (const ElementButtonSpec& to : elementButtons()) {
                    const std::optional<int> distance = distanceAhead(from, to, GridStep(s));
                    if (distance && *distance < nearest) {
                        nearest = *distance;
                        table[std::size_t(from.number)][std::size_t(s)] = to.number;
                    }
                }
            }
        }
        return table;
    }();
    return table;
}

} // namespace

std::optional<GridStep> arrowStep(int key) {
    switch (key) {
    case Qt::Key_Left:
        return GridStep::Left;
    case Qt::Key_Right:
        return GridStep::Right;
    case Qt::Key_Up:
        return GridStep::Up;
    case Qt::Key_Down:
        return GridStep::Down;
    default:
        return std::nullopt;
    }
}

int gridNeighbour(int number, GridStep step) {
    const auto& table = neighbourTable();
    if (number < 1 || std::size_t(number) >= table.size())
        return 0;
    return table[std::size_t(number)][std::size_t(step)];
}

void GridArrowKeys::addButton(int number, QWidget* button) {
    if (number < 1 || std::size_t(number) >= buttons_.size() || !button)
        return;
    buttons_[std::size_t(number)] = button;
    button->installEventFilter(this);
}

int GridArrowKeys::numberOf(const QObject* button) const {
    const auto found = std::find(buttons_.begin(), buttons_.end(), button);
    return found == buttons_.end() ? 0 : int(found - buttons_.begin());
}

bool GridArrowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const std::optional<GridStep> step = arrowStep(static_cast<QKeyEvent*>(event)->key());
    const int from = numberOf(watched);
    if (!step || from == 0)
        return false;
    const int to = gridNeighbour(from, *step);
    if (to != 0 && buttons_[std::size_t(to)])
        buttons_[std::size_t(to)]->setFocus(Qt::OtherFocusReason);
    return true; // at an edge too: the arrow is used up, so Qt's default cannot move the focus
}

} // namespace vostrel
