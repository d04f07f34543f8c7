// How the main window presents itself to screen readers.
#pragma once

#include <QAccessibleWidget>

namespace dwellmark::ui {

class MainWindow;

/// The main window as assistive technologies (AT-SPI) see it: its visible
/// controls, without the open-interval list, which holds window handles and
/// times for the program's own use and is never shown.
class MainWindowAccessible final : public QAccessibleWidget {
public:
    explicit MainWindowAccessible(MainWindow& form);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    /// Makes Qt describe every MainWindow with this class; called once per process.
    static void install();

private:
    QList<QWidget*> shownChildren() const;
};

} // namespace dwellmark::ui
