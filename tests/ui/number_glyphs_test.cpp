// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts drawn from glyphs land on the same pixels as Qt's own text
// drawing, and anything else is left to it.
#include "ui/number_glyphs.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace kavrin {
namespace {

QFont Sized(int pixels, bool bold) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QImage Blank() {
    QImage image(90, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(NumberGlyphsTest, NumbersLandWhereDrawTextPutsThemAndOtherTextsAreLeftToIt) {
    const QRect rect(3, 1, 80, 21);
    const int alignments[] = {Qt::AlignRight | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignVCenter,
                              Qt::AlignHCenter | Qt::AlignBottom, Qt::AlignLeft | Qt::AlignTop};
    for (const QFont& font : {QFont(), Sized(16, true), Sized(10, false)}) {
        NumberGlyphs glyphs;
        for (int alignment : alignments) {
            for (const char* text : {"1995", "-0.02", "12.5%", "+7,25", "0"}) {
                QImage expected = Blank(), drawn = Blank();
                QPainter e(&expected), d(&drawn);
                for (QPainter* p : {&e, &d}) {
                    p->setFont(font);
                    p->setPen(Qt::red);
                }
                e.drawText(rect, alignment, QString::fromLatin1(text));
                ASSERT_TRUE(glyphs.Draw(d, rect, alignment, QString::fromLatin1(text))) << text;
                e.end();
                d.end();
                EXPECT_EQ(drawn, expected) << text << " aligned " << alignment << " in "
                                           << font.toString().toStdString();
            }
        }
        // Letters, spaces, a text wider than the box, a flag that is not an
        // alignment: nothing is drawn.
        QImage image = Blank();
        QPainter p(&image);
        p.setFont(font);
        for (const char* text : {"AFR", "1 2", "", "123456789012345678901234567890"})
            EXPECT_FALSE(glyphs.Draw(p, rect, Qt::AlignRight, QString::fromLatin1(text))) << text;
        EXPECT_FALSE(glyphs.Draw(p, rect, Qt::AlignRight | Qt::TextWordWrap, QStringLiteral("1")));
        p.end();
        EXPECT_EQ(image, Blank());
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
