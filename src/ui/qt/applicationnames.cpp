// The names the Qt application gives itself.
#include "applicationnames.h"

#include "ui/texts.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace dwellmark::ui {

void nameApplication(const char* version) {
    QCoreApplication::setApplicationName(QString::fromUtf8(texts::mainWindowCaption));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(version));
    QGuiApplication::setDesktopFileName(QStringLiteral("dwellmark"));
}

} // namespace dwellmark::ui
