#include "controls/TextFolding.h"

#include <algorithm>

namespace stowline::controls {
namespace {

QChar asciiLower(char c) {
    return QLatin1Char(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
}

} // namespace

void appendFolded(QString& folded, QStringView text) {
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        for (const QChar c : text) {
            folded += asciiLower(static_cast<char>(c.unicode()));
        }
        return;
    }
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing) {
            bare += c;
        }
    }
    folded += bare.toCaseFolded();
}

void appendFolded(QString& folded, QByteArrayView utf8) {
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (const char c : utf8) {
            folded += asciiLower(c);
        }
        return;
    }
    appendFolded(folded, QString::fromUtf8(utf8));
}

QString folded(QStringView text) {
    QString result;
    result.reserve(text.size());
    appendFolded(result, text);
    return result;
}

QStringList searchWords(QStringView typed) {
    return folded(typed).simplified().split(QChar(u' '), Qt::SkipEmptyParts);
}

} // namespace stowline::controls
