#include "NaturalOrder.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace NaturalOrder {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

void appendUnit(std::string& key, char16_t unit)
{
    key += static_cast<char>(unit >> 8);
    key += static_cast<char>(unit & 0xFF);
}

// Appends the run of digits name[begin, end) as one token: the digit '0',
// the number of digits without leading zeros (four bytes), then those digits.
// Against another character the token compares as any digit does, since no
// other character folds into the digits; against another run the count
// decides first, then the digits: the order of their values.
void appendNumber(std::string& key, const QString& name, qsizetype begin, qsizetype end)
{
    while (begin < end - 1 && name[begin] == u'0')
        ++begin;
    appendUnit(key, u'0');
    const auto digits = static_cast<quint32>(std::min<qsizetype>(end - begin, std::numeric_limits<quint32>::max()));
    for (int shift = 24; shift >= 0; shift -= 8)
        key += static_cast<char>((digits >> shift) & 0xFF);
    for (qsizetype k = begin; k < end; ++k)
        key += static_cast<char>(name[k].unicode());
}

// A byte string whose plain byte order is the name order without its final
// tie-break: each character that is not a digit as its case-folded UTF-16
// unit (big-endian), each run of digits as one token of appendNumber. Made
// once per name, so that sorting compares bytes instead of re-reading names.
std::string sortKey(const QString& name)
{
    std::string key;
    key.reserve(static_cast<size_t>(name.size()) * 2 + 8);
    qsizetype i = 0;
    while (i < name.size()) {
        if (!isDigit(name[i])) {
            appendUnit(key, name[i].toCaseFolded().unicode());
            ++i;
            continue;
        }
        const qsizetype begin = i;
        while (i < name.size() && isDigit(name[i]))
            ++i;
        appendNumber(key, name, begin, i);
    }
    return key;
}

struct KeyedName {
    std::string key;
    QString name;
};

bool keyedLess(const KeyedName& a, const KeyedName& b)
{
    if (const int byKey = a.key.compare(b.key); byKey != 0)
        return byKey < 0;
    return a.name < b.name;
}

} // namespace

void Sort(QStringList& names)
{
    std::vector<KeyedName> keyed;
    keyed.reserve(static_cast<size_t>(names.size()));
    for (QString& name : names)
        keyed.push_back({sortKey(name), std::move(name)});
    std::sort(keyed.begin(), keyed.end(), keyedLess);
    for (qsizetype k = 0; k < names.size(); ++k)
        names[k] = std::move(keyed[static_cast<size_t>(k)].name);
}

} // namespace NaturalOrder
