// Draws a line of digits and time signs from glyphs looked up once, where Qt's text layout would place them.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <QString>

class QPainter;

namespace dwellmark::ui {

/// Draws one line of the characters of times and counts ("0"-"9", ":", " ",
/// "-") in a font, as QTextLayout would, without laying the text out: each
/// character's glyph and advance are taken once from Qt's own layout of every
/// pair of them. Laying text out is the costliest part of drawing a cell that
/// comes after a quiet second, and the lists' new cells are mostly such text.
/// A font whose layout places these characters by their neighbours (kerning,
/// ligatures) or in several runs is not usable: the caller lays the text out.
class DigitRun final {
public:
    explicit DigitRun(const QFont& font);

    /// Whether the font's layout of these characters could be repeated.
    bool usable() const { return m_usable; }
    /// Whether this draws the text: usable, and made only of these characters.
    bool draws(const QString& text) const;
    /// The width of the text laid out, as QTextLine::naturalTextWidth() gives it.
    qreal width(const QString& text) const;
    /// The height of the line, as QTextLayout::boundingRect() gives it.
    qreal lineHeight() const { return m_lineHeight; }
    /// Draws the text with the painter's pen, its line's top left at topLeft, as
    /// QTextLayout::draw() draws it there.
    void draw(QPainter& painter, QPointF topLeft, const QString& text) const;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };

    bool m_usable = false;
    QRawFont m_rawFont;
    QHash<QChar, Glyph> m_glyphs;
    qreal m_lineHeight = 0;
    qreal m_ascent = 0;
};

} // namespace dwellmark::ui
