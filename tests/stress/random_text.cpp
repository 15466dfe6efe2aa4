#include "random_text.h"

#include <array>

namespace stress {
namespace {

// Ranges of code points to draw from, each as likely as the others.
struct Range {
    char32_t first, last;
};
constexpr std::array kPrintable{
    Range{U'a', U'z'},
    Range{U'A', U'Z'},
    Range{U'0', U'9'},
    Range{U' ', U'/'},
    Range{U'\u0E01', U'\u0E2E'},         // Thai consonants
    Range{U'\u0E31', U'\u0E3A'},         // Thai vowel and tone marks that sit above or below a consonant
    Range{U'\u0E40', U'\u0E4E'},         // Thai leading vowels, tone marks
    Range{U'\u05D0', U'\u05EA'},         // Hebrew, right to left
    Range{U'\u0627', U'\u064A'},         // Arabic, right to left and joined
    Range{U'\u4E00', U'\u4E80'},         // CJK ideographs
    Range{U'\U0001F600', U'\U0001F64F'}, // emoji, a surrogate pair each
};
constexpr std::array kControls{U'\0',     U'\t',     U'\n',     U'\r',    U'\u200B',
                               U'\u200E', U'\u202E', U'\u2028', U'\uFEFF'};

char32_t printable(QRandomGenerator& random) {
    const Range& range = kPrintable[random.bounded(int(kPrintable.size()))];
    return char32_t(random.bounded(quint32(range.first), quint32(range.last) + 1));
}

// Appends c in UTF-8, or fills up to `limit` bytes with 'x' when c no longer fits.
void appendUtf8(QByteArray& utf8, char32_t c, qsizetype limit) {
    const qsizetype length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (utf8.size() + length > limit) {
        utf8.append(limit - utf8.size(), 'x');
        return;
    }
    if (length == 1) {
        utf8.append(char(c));
        return;
    }
    constexpr char32_t kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    utf8.append(char(kLeadMarks[length] | (c >> (6 * (length - 1)))));
    for (qsizetype i = length - 2; i >= 0; --i)
        utf8.append(char(0x80 | ((c >> (6 * i)) & 0x3F)));
}

void append(QString& text, char32_t c) {
    text += QString::fromUcs4(&c, 1);
}

} // namespace

QString typedText(QRandomGenerator& random, int length) {
    QString text;
    while (text.size() < length)
        append(text, printable(random));
    return text;
}

QString anyText(QRandomGenerator& random, int length) {
    QString text;
    while (text.size() < length) {
        switch (random.bounded(8)) {
        case 0:
            append(text, kControls[random.bounded(int(kControls.size()))]);
            break;
        case 1:
            text += QChar(char16_t(random.bounded(0xD800, 0xE000))); // half of a pair, alone
            break;
        default:
            append(text, printable(random));
        }
    }
    return text;
}

QString textOfUtf8Size(QRandomGenerator& random, qsizetype bytes) {
    QByteArray utf8;
    utf8.reserve(bytes);
    // Runs of one script at a time, as pasted documents have them; a change of script in every
    // character would make the text engine's work, not the window's, the cost of the test.
    while (utf8.size() < bytes) {
        const Range& range = kPrintable[random.bounded(int(kPrintable.size()))];
        const int runLength = random.bounded(1, 4096);
        for (int i = 0; i < runLength && utf8.size() < bytes; ++i) {
            const char32_t c = char32_t(random.bounded(quint32(range.first), quint32(range.last) + 1));
            appendUtf8(utf8, c, bytes);
        }
    }
    return QString::fromUtf8(utf8);
}

} // namespace stress
