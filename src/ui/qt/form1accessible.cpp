// The main window as screen readers see it.
#include "form1accessible.h"

#include "form1.h"

namespace dwellmark::ui {

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(Form1::staticMetaObject.className())) {
        if (auto* form = qobject_cast<Form1*>(object)) {
            return new Form1Accessible(*form);
        }
    }
    return nullptr;
}

} // namespace

Form1Accessible::Form1Accessible(Form1& form) : QAccessibleWidget(&form, QAccessible::Window) {}

QList<QWidget*> Form1Accessible::shownChildren() const {
    const auto* form = static_cast<const Form1*>(widget());
    QList<QWidget*> children;
    for (QObject* object : form->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        // The notice line counts only while it is shown.
        if (child != nullptr && !child->isWindow() && child != form->lvwHidden() && !child->isHidden()) {
            children.append(child);
        }
    }
    return children;
}

int Form1Accessible::childCount() const {
    return static_cast<int>(shownChildren().size());
}

QAccessibleInterface* Form1Accessible::child(int index) const {
    const QList<QWidget*> children = shownChildren();
    if (index < 0 || index >= children.size()) {
        return nullptr;
    }
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int Form1Accessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    auto* widgetChild = qobject_cast<QWidget*>(child->object());
    return widgetChild == nullptr ? -1 : static_cast<int>(shownChildren().indexOf(widgetChild));
}

void Form1Accessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace dwellmark::ui
