// Draws a list's cell as the style's item delegate would, laying its text out once.
#include "listitemdelegate.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QWidget>
#include <cmath>
#include <memory>

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

/// The colour of a cell's text, as the style chooses it.
QColor textColor(const QStyleOptionViewItem& item) {
    QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(item.state & QStyle::State_Active)) {
        group = QPalette::Inactive;
    }
    return item.palette.color(group,
                              (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text);
}

/// The image format the painter draws into in the end.
QImage::Format imageFormat(QPainter& painter) {
    const QPaintDevice* device = painter.paintEngine()->paintDevice();
    return device != nullptr && device->devType() == QInternal::Image ? static_cast<const QImage*>(device)->format()
                                                                      : QImage::Format_Invalid;
}

/// The one colour under a cell that the style draws nothing under, or an
/// invalid colour when the cell is drawn over something else, or a copy of it
/// would not land on whole device pixels of the same format.
QColor plainBackground(QPainter& painter, const QStyleOptionViewItem& item) {
    const auto* view = qobject_cast<const QAbstractScrollArea*>(item.widget);
    const QTransform& device = painter.deviceTransform();
    if (view == nullptr || (item.state & QStyle::State_Selected) || item.backgroundBrush.style() != Qt::NoBrush ||
        (item.features & QStyleOptionViewItem::Alternate) || !view->viewport()->autoFillBackground() ||
        imageFormat(painter) == QImage::Format_Invalid || painter.device()->devicePixelRatio() != 1.0 ||
        device.type() > QTransform::TxTranslate || device.dx() != std::floor(device.dx()) ||
        device.dy() != std::floor(device.dy())) {
        return {};
    }
    const QWidget& viewport = *view->viewport();
    const QBrush& brush = viewport.palette().brush(viewport.backgroundRole());
    return brush.style() == Qt::SolidPattern && brush.isOpaque() ? brush.color() : QColor();
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

    // A cell not selected is the list's background and the text: the same
    // text in a cell of the same size looks the same wherever it is, and a
    // list of a few windows shows the same names and titles again and again.
    const QColor background = plainBackground(*painter, item);
    if (!background.isValid()) {
        drawCell(*painter, item, *style, nullptr);
        return;
    }
    // The style, the font and the text's placing are the same for every cell
    // of a list: a change of them starts afresh.
    const CellStyle cellStyle{item.font, item.displayAlignment, item.textElideMode, item.direction, style};
    if (!(cellStyle == m_cellStyle)) {
        m_cells.clear();
        m_cellStyle = cellStyle;
        m_digits.reset();
    }
    const CellKey key{text, item.rect.size(), textColor(item).rgba(), background.rgba()};
    const QImage* drawn = m_cells.object(key);
    if (drawn == nullptr) {
        auto image = std::make_unique<QImage>(item.rect.size(), imageFormat(*painter));
        image->fill(background);
        QPainter cellPainter(image.get());
        QStyleOptionViewItem at(item);
        at.rect.moveTo(0, 0);
        if (!m_digits) {
            m_digits = std::make_unique<DigitRun>(item.font);
        }
        drawCell(cellPainter, at, *style, m_digits.get());
        cellPainter.end();
        const qsizetype pixels = static_cast<qsizetype>(image->width()) * image->height();
        if (pixels > m_cells.maxCost()) {
            painter->drawImage(item.rect.topLeft(), *image);
            return;
        }
        drawn = image.get();
        m_cells.insert(key, image.release(), pixels);
    }
    painter->drawImage(item.rect.topLeft(), *drawn);
}

void ListItemDelegate::drawCell(QPainter& painter, const QStyleOptionViewItem& item, const QStyle& style,
                                const DigitRun* digits) {
    const QWidget* widget = item.widget;
    painter.save();
    painter.setClipRect(item.rect);
    style.drawPrimitive(QStyle::PE_PanelItemViewItem, &item, &painter, widget);
    if (!item.text.isEmpty()) {
        painter.setPen(textColor(item));
        // The style's margins, and its line: placed by the bounding box of the
        // whole text, elided when wider than the cell, drawn from its left.
        const int margin = style.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = item.rect.adjusted(margin, 0, -margin, 0);
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(item.direction);
        textOption.setAlignment(QStyle::visualAlignment(item.direction, item.displayAlignment));
        // Times and counts, the usual new cells, are placed from glyphs looked
        // up once when they fit, as the layout below would place them.
        if (digits != nullptr && item.direction == Qt::LeftToRight &&
            (textOption.alignment() & (Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute)) == Qt::AlignLeft &&
            digits->draws(item.text) && digits->width(item.text) <= textRect.width()) {
            const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, item.displayAlignment,
                                                     QSizeF(textRect.width(), digits->lineHeight()).toSize(), textRect);
            digits->draw(painter, QPointF(textRect.x(), placed.top()), item.text);
            painter.restore();
            return;
        }
        QTextLayout layout(item.text, item.font);
        layOutLine(layout, textOption, textRect.width());
        const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, item.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        const QPointF position(textRect.x(), placed.top());
        if (layout.lineCount() == 1 && layout.lineAt(0).naturalTextWidth() > textRect.width()) {
            QTextLayout elided(QFontMetrics(item.font).elidedText(item.text, item.textElideMode, textRect.width()),
                               item.font);
            layOutLine(elided, textOption, textRect.width());
            elided.draw(&painter, position);
        } else {
            layout.draw(&painter, position);
        }
    }
    painter.restore();
}

} // namespace dwellmark::ui
