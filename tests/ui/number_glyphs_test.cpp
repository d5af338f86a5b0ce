// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts drawn from glyphs land on the same pixels as Qt's own text
// drawing, and anything else is left to it.
#include "ui/number_glyphs.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(NumberGlyphsTest, NumbersLandWhereDrawTextPutsThemAndOtherTextsAreLeftToIt) {
    const QRect rect(3, 1, 80, 21);
    QFont bold, small;
    bold.setPixelSize(16);
    bold.setBold(true);
    small.setPixelSize(10);
    for (const QFont& font : {QFont(), bold, small}) {
        NumberGlyphs glyphs;
        const auto draw = [&](const char* text, int alignment, bool byGlyphs) {
            QImage image(90, 24, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setFont(font);
            p.setPen(Qt::red);
            if (!byGlyphs)
                p.drawText(rect, alignment, QString::fromLatin1(text));
            else if (!glyphs.Draw(p, rect, alignment, QString::fromLatin1(text)))
                return QImage();
            return image;
        };
        for (int alignment : {Qt::AlignRight | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignVCenter,
                              Qt::AlignHCenter | Qt::AlignBottom, Qt::AlignLeft | Qt::AlignTop})
            for (const char* text : {"1995", "-0.02", "12.5%", "+7,25", "0"})
                EXPECT_EQ(draw(text, alignment, true), draw(text, alignment, false))
                    << text << " aligned " << alignment << " in " << font.toString().toStdString();
        // Letters, spaces, a text wider than the box, a flag that is not an alignment.
        for (const char* text : {"AFR", "1 2", "", "123456789012345678901234567890"})
            EXPECT_TRUE(draw(text, Qt::AlignRight, true).isNull()) << text;
        EXPECT_TRUE(draw("1", Qt::AlignRight | Qt::TextWordWrap, true).isNull());
    }
}

TEST(NumberGlyphsTest, ANumberLabelLooksLikeALabel) {
    for (const char* text : {"16.9", "x"}) {
        QLabel label(QString::fromLatin1(text));
        NumberLabel number(QString::fromLatin1(text));
        for (QLabel* l : std::initializer_list<QLabel*>{&label, &number}) {
            l->setGeometry(0, 0, 72, 21);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QPalette palette = l->palette();
            palette.setColor(QPalette::WindowText, Qt::blue);
            l->setPalette(palette);
        }
        EXPECT_EQ(number.grab().toImage(), label.grab().toImage()) << text;
    }
}

} // namespace
} // namespace kavrin
