#include "click_handlers.h"

#include "accessibility/selection_announcement.h"
#include "element_selection.h"
#include "element_table.h"
#include "form_detail_window.h"
#include "program_control.h"

#include <QHash>

namespace vostrel {
namespace {

constexpr int kExitButton = 113;

QHash<QString, ClickHandler> makeHandlers() {
    QHash<QString, ClickHandler> handlers;
    for (int n = kFirstElement; n <= kLastElement; ++n) {
        handlers.insert(QString::fromStdString(clickHandlerName(n)), [n](ClickContext& context) {
            FormDetailWindow boxes(context.window);
            const int status = selectElement(boxes, n);
            announceSelection(context.window); // the panel's new values, for those who cannot see it
            return status;
        });
    }
    handlers.insert(QString::fromStdString(clickHandlerName(kExitButton)), [](ClickContext& context) {
        context.program.endProgram(0);
        return 0;
    });
    return handlers;
}

} // namespace

const ClickHandler* findClickHandler(const QString& name) {
    static const QHash<QString, ClickHandler> handlers = makeHandlers();
    const auto found = handlers.constFind(name);
    return found == handlers.constEnd() ? nullptr : &found.value();
}

} // namespace vostrel
