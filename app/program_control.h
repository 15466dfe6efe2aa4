#pragma once

#include <QString>

class QWidget;

namespace vostrel {

// How a handler ends the program and how an error that escapes a handler reaches the user.
// Tests put their own in place to watch both without a modal dialog.
class ProgramControl {
public:
    virtual ~ProgramControl() = default;
    virtual void endProgram(int exitStatus) = 0;
    virtual void reportError(QWidget* window, const QString& title, const QString& message) = 0;
};

// The real thing: a modal message box, and leaving the event loop with the given status.
class ApplicationControl : public ProgramControl {
public:
    void endProgram(int exitStatus) override;
    void reportError(QWidget* window, const QString& title, const QString& message) override;
};

} // namespace vostrel
