#pragma once

#include <QCheckBox>

namespace dwellmark::ui {

/// A check box that a click anywhere on it toggles, not only on its mark and
/// caption: the boxes of the main window are far wider than their captions.
class CheckBox final : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override;
};

} // namespace dwellmark::ui
