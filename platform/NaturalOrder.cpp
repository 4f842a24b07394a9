#include "NaturalOrder.h"

#include "NativeName.h"

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

// Appends a count so that plain byte order is the order of the counts: one
// byte below 255, else 255 and four bytes.
void appendCount(std::string& key, qsizetype count)
{
    if (count < 0xFF) {
        key += static_cast<char>(count);
        return;
    }
    const auto wide = static_cast<quint32>(std::min<qsizetype>(count, std::numeric_limits<quint32>::max()));
    key += static_cast<char>(0xFF);
    for (int shift = 24; shift >= 0; shift -= 8)
        key += static_cast<char>((wide >> shift) & 0xFF);
}

// Appends the run of digits name[begin, end) as one token: the digit '0',
// the number of digits without leading zeros, then those digits. Against
// another character the token compares as any digit does, since no other
// character folds into the digits and no longer encoding starts with one;
// against another run the count decides first, then the digits: the order of
// their values.
void appendNumber(std::string& key, const QString& name, qsizetype begin, qsizetype end)
{
    while (begin < end - 1 && name[begin] == u'0')
        ++begin;
    key += '0';
    appendCount(key, end - begin);
    for (qsizetype k = begin; k < end; ++k)
        key += static_cast<char>(name[k].unicode());
}

// A byte string whose plain byte order is the name order without its final
// tie-break: each character that is not a digit as the UTF-8 form of its
// case-folded UTF-16 unit (one to three bytes, in the order of the units, no
// form the beginning of another; short keys for ASCII names), each run of
// digits as one token of appendNumber. Made once per name, so that sorting
// compares bytes instead of re-reading names.
std::string sortKey(const QString& name)
{
    std::string key;
    key.reserve(static_cast<size_t>(name.size()) + 8);
    qsizetype i = 0;
    while (i < name.size()) {
        if (!isDigit(name[i])) {
            NativeName::AppendUtf8(key, name[i].toCaseFolded().unicode());
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

// A name with its key, and the key's first eight bytes as one number (zeros
// after a shorter key): most pairs differ there, so most comparisons cost one
// integer comparison.
struct KeyedName {
    quint64 head = 0;
    std::string key;
    QString name;
};

KeyedName withKey(QString name)
{
    KeyedName result{0, sortKey(name), std::move(name)};
    for (size_t k = 0; k < 8; ++k)
        result.head = (result.head << 8) | (k < result.key.size() ? static_cast<unsigned char>(result.key[k]) : 0);
    return result;
}

bool keyedLess(const KeyedName& a, const KeyedName& b)
{
    if (a.head != b.head)
        return a.head < b.head;
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
        keyed.push_back(withKey(std::move(name)));
    std::sort(keyed.begin(), keyed.end(), keyedLess);
    for (qsizetype k = 0; k < names.size(); ++k)
        names[k] = std::move(keyed[static_cast<size_t>(k)].name);
}

} // namespace NaturalOrder
