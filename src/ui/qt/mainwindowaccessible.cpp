// The main window as screen readers see it.
#include "mainwindowaccessible.h"

#include "mainwindow.h"

namespace dwellmark::ui {

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
        if (auto* form = qobject_cast<MainWindow*>(object)) {
            return new MainWindowAccessible(*form);
        }
    }
    return nullptr;
}

} // namespace

MainWindowAccessible::MainWindowAccessible(MainWindow& form) : QAccessibleWidget(&form, QAccessible::Window) {}

QList<QWidget*> MainWindowAccessible::shownChildren() const {
    const auto* form = static_cast<const MainWindow*>(widget());
    QList<QWidget*> children;
    for (QObject* object : form->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        // The notice line counts only while it is shown.
        if (child != nullptr && !child->isWindow() && child != form->openStretches() && !child->isHidden()) {
            children.append(child);
        }
    }
    return children;
}

int MainWindowAccessible::childCount() const {
    return static_cast<int>(shownChildren().size());
}

QAccessibleInterface* MainWindowAccessible::child(int index) const {
    const QList<QWidget*> children = shownChildren();
    if (index < 0 || index >= children.size()) {
        return nullptr;
    }
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int MainWindowAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    auto* widgetChild = qobject_cast<QWidget*>(child->object());
    return widgetChild == nullptr ? -1 : static_cast<int>(shownChildren().indexOf(widgetChild));
}

void MainWindowAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace dwellmark::ui
