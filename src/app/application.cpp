#include "application.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace dwellmark::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Dwellmark"));
    setApplicationVersion(QStringLiteral(DWELLMARK_VERSION));
    setDesktopFileName(QStringLiteral("dwellmark"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        fail(QString::fromUtf8(failure.what()));
    } catch (...) {
        fail(QStringLiteral("an unknown failure"));
    }
}

void Application::fail(const QString& what) {
    std::fprintf(stderr, "dwellmark: %s\n", what.toLocal8Bit().constData());
    QMessageBox::critical(nullptr, QStringLiteral("Dwellmark"), QStringLiteral("Dwellmark has to stop: ") + what);
    std::exit(1);
}

} // namespace dwellmark::app
