#include "element_selection.h"

#include "element_table.h"

namespace vostrel {
namespace {
// Status of a write to a box the window could not hand out at all.
constexpr int kNoSuchBox = -1;
} // namespace

SelectionError::SelectionError(int status, std::string control, std::string handler)
    : std::runtime_error(handler + ": " + control + " refused its text (status " + std::to_string(status) +
                         ")")
    , status_(status)
    , control_(std::move(control))
    , handler_(std::move(handler)) {}

std::string clickHandlerName(int elementNumber) {
    return "Command" + std::to_string(elementNumber) + "_Click";
}

std::string textBoxName(int k) {
    return "Text" + std::to_string(k);
}

int selectElement(DetailWindow& window, int n) {
    const ElementRecord* record = elementRecord(n);
    if (!record)
        throw std::out_of_range("no element has the number " + std::to_string(n));

    for (int k = 1; k <= kFieldCount; ++k) {
        const TextBoxRef box = window.textBox(k); // held for this one write only
        const std::string_view text = record->*kFieldOrder[static_cast<std::size_t>(k - 1)];
        const int status = box ? box->setText(text) : kNoSuchBox;
        if (status < 0)
            throw SelectionError(status, textBoxName(k), clickHandlerName(n));
    }
    return 0;
}

} // namespace vostrel
