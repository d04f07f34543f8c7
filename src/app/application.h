#pragma once

#include <QApplication>

namespace dwellmark::app {

/// The program's QApplication. A failure that no event procedure catches ends
/// here: it is shown in a message box and the program ends with status 1, as
/// nothing of the run can be trusted after it. Failures while the box is
/// open are not told again.
class Application final : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    [[noreturn]] void fail(const QString& what);

    bool m_failing = false;
};

} // namespace dwellmark::app
