// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/number_glyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QRect>

#include <cmath>

namespace kavrin {

int NumberGlyphs::IndexOf(QChar c) {
    for (int i = 0; i < kCount; ++i)
        if (c == QLatin1Char(kCharacters[i])) return i;
    return -1;
}

void NumberGlyphs::Prepare(const QFont& font) {
    font_ = font;
    prepared_ = true;
    usable_ = false;
    raw_ = QRawFont::fromFont(font);
    if (!raw_.isValid()) return;
    const QString all = QString::fromLatin1(kCharacters);
    const QList<quint32> glyphs = raw_.glyphIndexesForString(all);
    if (glyphs.size() != kCount) return;
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
    if (advances.size() != kCount) return;
    for (int i = 0; i < kCount; ++i) {
        // A character the font lacks comes from another font when laid out.
        if (glyphs[i] == 0) return;
        glyph_[i] = glyphs[i];
        advance_[i] = advances[i].x();
    }
    // Drawn side by side, the glyphs must land where a layout puts them: one
    // alone, and every pair (a font that kerns "1." or "-1" is left to Qt).
    const QFontMetricsF metrics(font);
    const auto same = [](qreal a, qreal b) { return std::abs(a - b) < 1.0 / 128; };
    for (int i = 0; i < kCount; ++i) {
        if (!same(metrics.horizontalAdvance(all.at(i)), advance_[i])) return;
        for (int j = 0; j < kCount; ++j) {
            const QString pair = QString(all.at(i)) + all.at(j);
            if (!same(metrics.horizontalAdvance(pair), advance_[i] + advance_[j])) return;
        }
    }
    ascent_ = raw_.ascent();
    height_ = raw_.ascent() + raw_.descent();
    usable_ = true;
}

bool NumberGlyphs::Draw(QPainter& painter, const QRect& rect, int alignment, const QString& text) {
    constexpr int kLongest = 24;
    constexpr int kPlain = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignTop |
                           Qt::AlignBottom | Qt::AlignVCenter | Qt::AlignAbsolute;
    if (text.isEmpty() || text.size() > kLongest || (alignment & ~kPlain) != 0 ||
        painter.layoutDirection() == Qt::RightToLeft)
        return false;
    if (!prepared_ || painter.font() != font_) Prepare(painter.font());
    if (!usable_) return false;

    quint32 glyphs[kLongest];
    QPointF positions[kLongest];
    qreal width = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int n = IndexOf(text.at(i));
        if (n < 0) return false;
        glyphs[i] = glyph_[n];
        positions[i] = QPointF(width, 0);
        width += advance_[n];
    }
    if (width > rect.width() || height_ > rect.height()) return false;

    // The same offsets as drawText's: from the left, top or middle of rect.
    qreal x = rect.x(), y = rect.y();
    if (alignment & Qt::AlignRight)
        x += rect.width() - width;
    else if (alignment & Qt::AlignHCenter)
        x += (rect.width() - width) / 2;
    if (alignment & Qt::AlignBottom)
        y += rect.height() - height_;
    else if (alignment & Qt::AlignVCenter)
        y += (rect.height() - height_) / 2;

    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(glyphs, positions, static_cast<int>(text.size()));
    painter.drawGlyphRun(QPointF(x, y + ascent_), run);
    return true;
}

void NumberLabel::paintEvent(QPaintEvent* event) {
    if (isEnabled() && !wordWrap() && margin() == 0 && indent() < 0 && frameWidth() == 0 &&
        textFormat() != Qt::RichText && pixmap().isNull() && layoutDirection() == Qt::LeftToRight) {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        if (glyphs_.Draw(painter, contentsRect(), static_cast<int>(alignment()), text())) return;
    }
    QLabel::paintEvent(event);
}

} // namespace kavrin
