#include "selection_announcement.h"

#include "detail_panel_table.h"
#include "form1.h"

#include <QAccessibleObject>
#include <QLineEdit>

#include <utility>

namespace vostrel {
namespace {

constexpr int kAtomicNumberBox = 1, kElementNameBox = 3;

// What the screen reader is told, kept by the window while it lives.
class PanelNotice : public QObject {
    Q_OBJECT

public:
    explicit PanelNotice(Form1& window)
        : QObject(&window) {
        setObjectName(QStringLiteral("SelectionAnnouncement"));
    }

    QString summary, details;
};

class PanelNoticeAccessible : public QAccessibleObject {
public:
    explicit PanelNoticeAccessible(PanelNotice* notice)
        : QAccessibleObject(notice) {}

    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text kind) const override {
        switch (kind) {
        case QAccessible::Name:
            return notice()->summary;
        case QAccessible::Description:
            return notice()->details;
        default:
            return QString();
        }
    }
    QAccessible::State state() const override { return {}; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

private:
    PanelNotice* notice() const { return static_cast<PanelNotice*>(object()); }
};

QAccessibleInterface* panelNoticeAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(PanelNotice::staticMetaObject.className()))
        return nullptr;
    auto* notice = qobject_cast<PanelNotice*>(object);
    return notice ? new PanelNoticeAccessible(notice) : nullptr;
}

QString boxText(const Form1& window, int k) {
    const QLineEdit* box = window.text(k);
    return box ? box->text() : QString();
}

PanelNotice& noticeOf(Form1& window) {
    if (auto* notice = window.findChild<PanelNotice*>(QString(), Qt::FindDirectChildrenOnly))
        return *notice;
    QAccessible::installFactory(panelNoticeAccessible); // Qt ignores a factory installed twice
    return *new PanelNotice(window);
}

} // namespace

SelectionSummary describeSelection(const Form1& window) {
    QStringList rows;
    for (const PanelRowSpec& row : detailPanelRows())
        rows << QString::fromUtf8(row.caption) + QLatin1Char(' ') + boxText(window, row.textNumber);
    return {boxText(window, kElementNameBox) + QLatin1String(", ") + boxText(window, kAtomicNumberBox),
            rows.join(QLatin1String(", "))};
}

void announceSelection(Form1& window) {
    if (!QAccessible::isActive())
        return; // no screen reader is listening: spare every click the work
    PanelNotice& notice = noticeOf(window);
    SelectionSummary told = describeSelection(window);
    notice.summary = std::move(told.summary);
    notice.details = std::move(told.details);
    QAccessibleEvent shown(&notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#ifdef Q_OS_WIN
    // Qt's bridge to UI Automation drops the notice's showing, but raises a string value change as a UI
    // Automation notification that Narrator and NVDA speak. It is raised on the window, whose element every
    // screen reader reaches (the notice is none of the window's accessible children). Qt's AT-SPI bridge
    // has nothing to send for it and warns, hence Windows only.
    QAccessibleValueChangeEvent spoken(&window, notice.summary);
    QAccessible::updateAccessibility(&spoken);
#endif
}

} // namespace vostrel

#include "selection_announcement.moc"
