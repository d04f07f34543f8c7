// Draws a line of digits and time signs from glyphs looked up once, where Qt's text layout would place them.
#include "digitrun.h"

#include <QList>
#include <QPainter>
#include <QTextLayout>

namespace dwellmark::ui {

namespace {

constexpr QStringView characters = u"0123456789: -";

/// Every ordered pair of the characters side by side, each character also
/// first and last: whatever a font does between two of them shows here.
QString everyPair() {
    QString text;
    for (const QChar first : characters) {
        for (const QChar second : characters) {
            text += first;
            text += second;
        }
    }
    return text;
}

} // namespace

DigitRun::DigitRun(const QFont& font) {
    const QString probe = everyPair();
    QTextLayout layout(probe, font);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != probe.size()) {
        return;
    }
    const QList<quint32> indexes = runs.front().glyphIndexes();
    const QList<QPointF> positions = runs.front().positions();
    for (qsizetype i = 0; i < probe.size(); ++i) {
        const qreal end = i + 1 < probe.size() ? positions[i + 1].x() : line.naturalTextWidth();
        const Glyph glyph{indexes[i], end - positions[i].x()};
        const auto known = m_glyphs.constFind(probe[i]);
        // One glyph, one advance and one baseline for a character wherever it
        // stands, or the layout does more than this repeats.
        if (positions[i].y() != positions.front().y() ||
            (known != m_glyphs.constEnd() && (known->index != glyph.index || known->advance != glyph.advance))) {
            m_glyphs.clear();
            return;
        }
        m_glyphs.insert(probe[i], glyph);
    }
    m_rawFont = runs.front().rawFont();
    m_lineHeight = layout.boundingRect().height();
    m_ascent = positions.front().y();
    m_usable = true;
}

bool DigitRun::draws(const QString& text) const {
    if (!m_usable || text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (!m_glyphs.contains(c)) {
            return false;
        }
    }
    return true;
}

qreal DigitRun::width(const QString& text) const {
    qreal width = 0;
    for (const QChar c : text) {
        width += m_glyphs.value(c).advance;
    }
    return width;
}

void DigitRun::draw(QPainter& painter, QPointF topLeft, const QString& text) const {
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text.size());
    positions.reserve(text.size());
    // Summed from the line's start, as the layout sums them.
    qreal x = 0;
    for (const QChar c : text) {
        const Glyph glyph = m_glyphs.value(c);
        indexes.append(glyph.index);
        positions.append(QPointF(x, m_ascent));
        x += glyph.advance;
    }
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(topLeft, run);
}

} // namespace dwellmark::ui
