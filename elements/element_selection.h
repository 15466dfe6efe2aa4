#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vostrel {

// A detail box held for one write. Destroying the reference gives the box back to its window.
class TextBox {
public:
    virtual ~TextBox() = default;
    // Replaces the box's whole text. Returns 0 on success, a negative status on failure.
    virtual int setText(std::string_view text) = 0;
};

using TextBoxRef = std::unique_ptr<TextBox>;

// What element selection needs of the window: its eight detail boxes Text1..Text8.
class DetailWindow {
public:
    virtual ~DetailWindow() = default;
    // Box k, 1 <= k <= 8. A box that no longer exists still yields a reference whose writes fail.
    virtual TextBoxRef textBox(int k) = 0;
};

// A detail box refused a write while element n was being shown.
class SelectionError : public std::runtime_error {
public:
    SelectionError(int status, std::string control, std::string handler);
    int status() const noexcept { return status_; }
    const std::string& control() const noexcept { return control_; }
    const std::string& handler() const noexcept { return handler_; }

private:
    int status_;
    std::string control_;
    std::string handler_;
};

std::string clickHandlerName(int elementNumber); // "Command<n>_Click"
std::string textBoxName(int k);                  // "Text<k>"

// Writes record n into Text1..Text8 in field order and returns 0.
// Throws SelectionError at the first failed write (earlier boxes keep their new text, later ones are
// untouched) and std::out_of_range, before writing anything, when no element has number n.
int selectElement(DetailWindow& window, int n);

} // namespace vostrel
