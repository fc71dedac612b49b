#pragma once

#include <QString>

// A reproducible mix of Chinese characters (many distinct, some repeated), ASCII letters of both
// cases, digits, spaces and Chinese and ASCII punctuation, of exactly the given length.
inline QString mixedText(int length) {
    const QString chinese =
        QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动"
                       "同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自"
                       "二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日");
    const QString ascii = QStringLiteral("The quick brown fox jumps over 13 lazy dogs, 42 times! Why? ");
    const QString marks = QStringLiteral("，。？！、；：“”（）");
    QString text;
    quint32 state = 12345;
    auto next = [&state](int range) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % quint32(range));
    };
    while (text.size() < length) {
        const int kind = next(4);
        if (kind < 2) {
            for (int count = 1 + next(6); count > 0; --count)
                text += chinese.at(next(chinese.size()));
        } else if (kind == 2) {
            const int from = next(ascii.size() - 8);
            text += ascii.mid(from, 1 + next(8));
        } else {
            text += marks.at(next(marks.size()));
        }
    }
    return text.left(length);
}
