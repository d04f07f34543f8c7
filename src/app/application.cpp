#include "application.h"

#include "ui/qt/applicationnames.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace dwellmark::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    ui::nameApplication(DWELLMARK_VERSION);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    if (m_failing) {
        // The box's own loop still delivers ticks: a failure that comes again
        // on each of them has been told already.
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            return false;
        }
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        fail(QString::fromUtf8(failure.what()));
    } catch (...) {
        fail(QStringLiteral("an unknown failure"));
    }
}

void Application::fail(const QString& what) {
    m_failing = true;
    std::fprintf(stderr, "dwellmark: %s\n", what.toLocal8Bit().constData());
    QMessageBox::critical(nullptr, QStringLiteral("Dwellmark"), QStringLiteral("Dwellmark has to stop: ") + what);
    std::exit(1);
}

} // namespace dwellmark::app
