#include "NaturalOrder.h"

#include <QStringList>

#include <algorithm>

namespace NaturalOrder {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Compares the digit runs starting at a[i] and b[j] by value; advances both
// indexes past their runs. Leading zeros do not count toward the value.
int compareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j)
{
    qsizetype startA = i;
    qsizetype startB = j;
    while (i < a.size() && isDigit(a[i]))
        ++i;
    while (j < b.size() && isDigit(b[j]))
        ++j;
    qsizetype firstA = startA;
    qsizetype firstB = startB;
    while (firstA < i - 1 && a[firstA] == u'0')
        ++firstA;
    while (firstB < j - 1 && b[firstB] == u'0')
        ++firstB;
    const qsizetype lengthA = i - firstA;
    const qsizetype lengthB = j - firstB;
    if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
    for (qsizetype k = 0; k < lengthA; ++k) {
        if (a[firstA + k] != b[firstB + k])
            return a[firstA + k] < b[firstB + k] ? -1 : 1;
    }
    return 0;
}

int compare(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int byNumber = compareNumbers(a, i, b, j); byNumber != 0)
                return byNumber;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

bool Less(const QString& a, const QString& b)
{
    const int byName = compare(a, b);
    if (byName != 0)
        return byName < 0;
    return a < b;
}

void Sort(QStringList& names)
{
    std::sort(names.begin(), names.end(), Less);
}

} // namespace NaturalOrder
