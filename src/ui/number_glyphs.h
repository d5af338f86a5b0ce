// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number texts drawn from the font's glyphs directly. The live values and the
// map cells are repainted many times a second with short texts of digits and
// signs; laying each one out again (shaping it) was most of a repaint's cost.
#include <QFont>
#include <QLabel>
#include <QRawFont>
#include <QString>

#include <array>

class QPainter;
class QRect;

namespace kavrin {

class NumberGlyphs {
public:
    // Draws text in rect as painter.drawText(rect, alignment, text) does, with
    // the painter's font and pen, and returns true; or draws nothing and
    // returns false when the text holds a character other than a digit or
    // ". , - + %", is wider or taller than rect (drawText would clip it), or
    // the font places two of these characters otherwise than side by side
    // (kerning), or the alignment is not a plain one.
    bool Draw(QPainter& painter, const QRect& rect, int alignment, const QString& text);

private:
    static constexpr char kCharacters[] = "0123456789.,-+%";
    static constexpr int kCount = sizeof kCharacters - 1;
    void Prepare(const QFont& font);
    static int IndexOf(QChar c);

    QFont font_;
    bool prepared_ = false;
    bool usable_ = false;
    QRawFont raw_;
    std::array<quint32, kCount> glyph_{};
    std::array<qreal, kCount> advance_{};
    qreal ascent_ = 0, height_ = 0;
};

// A label whose number texts are drawn through NumberGlyphs; anything else it
// paints as any label does.
class NumberLabel final : public QLabel {
public:
    // Plain text: a new value is not searched for markup.
    explicit NumberLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {
        setTextFormat(Qt::PlainText);
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    NumberGlyphs glyphs_;
};

} // namespace kavrin
