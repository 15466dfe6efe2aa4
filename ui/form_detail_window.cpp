#include "form_detail_window.h"

#include "form1.h"

#include <QLineEdit>
#include <QPointer>

namespace vostrel {
namespace {

class LineEditBox : public TextBox {
public:
    explicit LineEditBox(QLineEdit* box)
        : box_(box) {}

    int setText(std::string_view text) override {
        if (!box_)
            return FormDetailWindow::kBoxGone;
        box_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        box_->setCursorPosition(0); // show the start, as a freshly filled box does
        return 0;
    }

private:
    QPointer<QLineEdit> box_;
};

} // namespace

TextBoxRef FormDetailWindow::textBox(int k) {
    return std::make_unique<LineEditBox>(window_.text(k));
}

} // namespace vostrel
