#include "filters/HXBlacklistText.h"

#include "foundation/HXSorting.h"
#include "foundation/HXStringChecks.h"

#include <QStringList>

const QString& rightTriangleArrowString() {
    static const QString arrow{QChar(kRightTriangleArrow)};
    return arrow;
}

const QString& spacedRightTriangleArrowString() {
    static const QString arrow = u' ' + rightTriangleArrowString() + u' ';
    return arrow;
}

bool isNewlineCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x000A && u <= 0x000D) || u == 0x0085 || u == 0x2028 || u == 0x2029;
}

void replaceListWithLinesOfText(HXArray& list, QStringView text) {
    list.clear();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isNewlineCharacter(text[i])) {
            list.append(text.sliced(lineStart, i - lineStart).toString());
            lineStart = i + 1;
        }
    }
    list.append(text.sliced(lineStart).toString());
}

QString sortedBlacklistText(HXArray& list) {
    list.sortValues(
        [](const HXValue& a, const HXValue& b) { return HXSortStrings(a.toString(), b.toString()); });
    QStringList lines;
    lines.reserve(list.count());
    for (qsizetype i = 0; i < list.count(); ++i)
        lines.append(list.at(i).toString());
    return lines.join(u'\n');
}
