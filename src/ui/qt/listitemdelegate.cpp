// Draws a list's cell as the style's item delegate would, laying its text out once.
#include "listitemdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QWidget>

namespace dwellmark::ui {

namespace {

/// Lays the text out on one line of the given width, as the style does.
void layOutLine(QTextLayout& layout, const QTextOption& textOption, int width) {
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

} // namespace

bool ListItemDelegate::drawsItself(const QStyle& style, const QStyleOptionViewItem& option, const QString& text) {
    // Fusion draws an item as QCommonStyle does, which is what paint() repeats;
    // a style of its own, a style sheet (whose style has no name) or a proxy
    // may draw it otherwise. The focused cell gets the style's focus frame.
    if (style.name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0 ||
        (option.state & (QStyle::State_HasFocus | QStyle::State_Editing)) ||
        (option.features & QStyleOptionViewItem::WrapText)) {
        return false;
    }
    // Line breaks make lines that the style lays out and elides line by line,
    // and the separator U+009C offers font metrics variants of the text.
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QChar(0x9c)) {
            return false;
        }
    }
    return true;
}

void ListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!drawsItself(*style, option, text)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // What QStyledItemDelegate would pass the style for a cell of text alone.
    QStyleOptionViewItem item(option);
    item.index = index;
    item.text = text;
    item.features |= QStyleOptionViewItem::HasDisplay;

    painter->save();
    painter->setClipRect(item.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    if (!text.isEmpty()) {
        QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(item.state & QStyle::State_Active)) {
            group = QPalette::Inactive;
        }
        painter->setPen(item.palette.color(group, (item.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                        : QPalette::Text));

        // The style's margins, and its line: placed by the bounding box of the
        // whole text, elided when wider than the cell, drawn from its left.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = item.rect.adjusted(margin, 0, -margin, 0);
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(item.direction);
        textOption.setAlignment(QStyle::visualAlignment(item.direction, item.displayAlignment));
        QTextLayout layout(text, item.font);
        layOutLine(layout, textOption, textRect.width());
        const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, item.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        const QPointF position(textRect.x(), placed.top());
        if (layout.lineCount() == 1 && layout.lineAt(0).naturalTextWidth() > textRect.width()) {
            QTextLayout elided(QFontMetrics(item.font).elidedText(text, item.textElideMode, textRect.width()),
                               item.font);
            layOutLine(elided, textOption, textRect.width());
            elided.draw(painter, position);
        } else {
            layout.draw(painter, position);
        }
    }
    painter->restore();
}

} // namespace dwellmark::ui
