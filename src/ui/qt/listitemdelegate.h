// How a list of the main window draws a cell: as the style's item delegate would, without its repeated text layouts.
#pragma once

#include "digitrun.h"

#include <QCache>
#include <QFont>
#include <QHashFunctions>
#include <QImage>
#include <QStyledItemDelegate>
#include <memory>

class QStyle;

namespace dwellmark::ui {

/// Draws the cells of a ListView. A cell is one line of text (the model's
/// DisplayRole; the lists' models answer no other role that is drawn), and
/// under the Fusion style it is drawn here with the style's own background,
/// colours, margins, alignment and elision, pixel for pixel as
/// QStyledItemDelegate draws it, but laying the text out once instead of five
/// times and asking the model for one role instead of eight; a cell that is not
/// selected is kept, and copied when the same text comes again. Cells it cannot
/// draw the same way (another style, the focused cell, text of several lines)
/// are left to QStyledItemDelegate.
class ListItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// Whether a cell of this text, in the view's option for it, is drawn here
    /// rather than left to QStyledItemDelegate.
    static bool drawsItself(const QStyle& style, const QStyleOptionViewItem& option, const QString& text);

private:
    /// What a cell drawn lately is known by.
    struct CellKey {
        QString text;
        QSize size;
        QRgb ink = 0;
        QRgb background = 0;
        bool operator==(const CellKey&) const = default;
        friend size_t qHash(const CellKey& key, size_t seed = 0) noexcept {
            return qHashMulti(seed, key.text, key.size.width(), key.size.height(), key.ink, key.background);
        }
    };

    /// What every cell of a list shares.
    struct CellStyle {
        QFont font;
        Qt::Alignment alignment;
        Qt::TextElideMode elideMode = Qt::ElideRight;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        const QStyle* style = nullptr;
        bool operator==(const CellStyle&) const = default;
    };

    /// Draws the cell of the option's text as the style does; with digits, a
    /// time or count that fits is drawn from its glyphs.
    static void drawCell(QPainter& painter, const QStyleOptionViewItem& item, const QStyle& style,
                         const DigitRun* digits);

    /// Cells drawn lately, by their text, size, colours and font; what they
    /// hold is counted in pixels (about half a megabyte in all).
    mutable QCache<CellKey, QImage> m_cells{128 * 1024};
    // The font and placing of the cells kept.
    mutable CellStyle m_cellStyle;
    // The glyphs of times and counts in that font, looked up at the first cell.
    mutable std::unique_ptr<DigitRun> m_digits;
};

} // namespace dwellmark::ui
