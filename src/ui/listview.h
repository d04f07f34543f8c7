#pragma once

#include <QTableView>

namespace dwellmark::ui {

/// A list with a header row, one line per row, as the main window's lists are
/// drawn. Rows appended below the visible part cost only a scroll-bar update:
/// a usage log that grows ten times a second does not repaint what did not
/// change.
class ListView final : public QTableView {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    /// The header row (the columns' titles and widths).
    QHeaderView* header() const { return horizontalHeader(); }

    void doItemsLayout() override;
    void reset() override;

protected:
    void changeEvent(QEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    // The first row appended since the last layout, while appends are the only
    // change since then; -1 when a full layout is needed.
    int m_firstAppended = -1;
    bool m_fullLayout = true;
};

} // namespace dwellmark::ui
