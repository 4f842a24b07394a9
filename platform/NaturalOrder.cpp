#include "NaturalOrder.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace NaturalOrder {
namespace {

// ICU separates the levels of a sort key with this byte and ends it with 0.
constexpr char LevelSeparator = 0x01;
constexpr int Levels = 3;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct CollatorClose {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using Collator = std::unique_ptr<UCollator, CollatorClose>;

// A sort key in three parts, one a level: the base letters, the accents, the
// letter case. A name's key is its pieces' parts put together level by level,
// so that, as in the language's own order, an accent or a capital counts only
// between names whose letters and numbers are all alike.
struct LevelKey {
    std::string level[Levels];
};

// Builds names' keys from the pieces that names share: a folder of camera
// pictures has 100 000 names but only a few different runs of letters
// ("IMG_", ".JPG"), and only those go through the collator (a few
// microseconds each); runs of digits are written here, by their value.
class KeyMaker {
public:
    explicit KeyMaker(const QLocale& language)
    {
        // A language ICU does not know gets its root order; without ICU's
        // data at all, names keep only their numbers' order and their text's.
        for (const QString& locale : {language.name(), QString()}) {
            UErrorCode status = U_ZERO_ERROR;
            collator_.reset(ucol_open(locale.toLatin1().constData(), &status));
            ucol_setAttribute(collator_.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
            if (U_SUCCESS(status))
                break;
            collator_.reset();
        }
        // A number's first level as the collator writes it, and its first
        // byte: numbers sort where the language puts digits, after spaces and
        // punctuation, before letters.
        zero_ = collatorKey(QStringLiteral("0")).level[0];
        digitLead_ = zero_.empty() ? std::string("0") : zero_.substr(0, 1);
    }

    std::string key(const QString& name)
    {
        std::string whole;
        whole.reserve(size_t(name.size()) * 2 + 8);
        used_.clear();
        qsizetype i = 0;
        while (i < name.size()) {
            const qsizetype begin = i;
            const bool digits = isDigit(name[i]);
            while (i < name.size() && isDigit(name[i]) == digits)
                ++i;
            if (digits) {
                appendNumber(whole, name, begin, i);
                continue;
            }
            const LevelKey& piece = cachedKey(QStringView(name).sliced(begin, i - begin), begin > 0, i < name.size());
            whole += piece.level[0];
            used_.push_back(&piece);
        }
        for (int level = 1; level < Levels; ++level) {
            whole.push_back(LevelSeparator);
            for (const LevelKey* piece : used_)
                whole += piece->level[level];
        }
        return whole;
    }

private:
    // Pieces are looked up by their text without being copied.
    struct PieceHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
    };
    using PieceKeys = std::unordered_map<std::u16string, LevelKey, PieceHash, std::equal_to<>>;

    // The collator writes the first level compressed: letters of one script
    // share a lead byte written once, and a byte between scripts says which
    // way the script changes. So a piece's key is taken from the piece with
    // a digit on either side where a number stands beside it, and the
    // digits' own bytes are cut off again: what is left holds the bytes the
    // collator writes at the borders, and a number's token written between
    // two pieces compares as the collator's own number would.
    const LevelKey& cachedKey(QStringView piece, bool numberBefore, bool numberAfter)
    {
        PieceKeys& keys = pieces_[(numberBefore ? 2 : 0) + (numberAfter ? 1 : 0)];
        const std::u16string_view text(piece.utf16(), size_t(piece.size()));
        auto found = keys.find(text);
        if (found == keys.end()) {
            const QString context = (numberBefore ? QStringLiteral("0") : QString()) + piece.toString() +
                                    (numberAfter ? QStringLiteral("0") : QString());
            found = keys.emplace(std::u16string(text), pieceKey(context, numberBefore, numberAfter)).first;
        }
        return found->second;
    }

    LevelKey pieceKey(const QString& context, bool numberBefore, bool numberAfter) const
    {
        LevelKey key = collatorKey(context);
        std::string& first = key.level[0];
        if (numberBefore && first.starts_with(zero_))
            first.erase(0, zero_.size());
        if (numberAfter && first.ends_with(zero_))
            first.erase(first.size() - zero_.size());
        return key;
    }

    LevelKey collatorKey(const QString& piece) const
    {
        LevelKey key;
        if (!collator_)
            return key;
        uint8_t buffer[512];
        const auto* units = reinterpret_cast<const UChar*>(piece.utf16());
        int32_t length = ucol_getSortKey(collator_.get(), units, int32_t(piece.size()), buffer, sizeof buffer);
        std::string bytes;
        if (length <= int32_t(sizeof buffer)) {
            bytes.assign(reinterpret_cast<const char*>(buffer), size_t(std::max(length, 1) - 1));
        } else {
            bytes.resize(size_t(length));
            ucol_getSortKey(collator_.get(), units, int32_t(piece.size()), reinterpret_cast<uint8_t*>(bytes.data()),
                            length);
            bytes.pop_back(); // the closing 0
        }
        size_t start = 0;
        for (int level = 0; level < Levels && start <= bytes.size(); ++level) {
            const size_t end = std::min(bytes.find(LevelSeparator, start), bytes.size());
            key.level[level] = bytes.substr(start, end - start);
            start = end + 1;
        }
        return key;
    }

    // A run of digits as one token of the first level: the digits' lead
    // byte, the number of digits without leading zeros (one byte above the
    // level separator, or 0xFF and four bytes), then the digits: against
    // another run the count decides first, then the digits, which is the
    // order of their values.
    void appendNumber(std::string& key, const QString& name, qsizetype begin, qsizetype end) const
    {
        while (begin < end - 1 && name[begin] == u'0')
            ++begin;
        key += digitLead_;
        const qsizetype count = end - begin;
        if (count < 0xFD) {
            key += char(count + 2);
        } else {
            const auto wide = quint32(std::min<qsizetype>(count, std::numeric_limits<quint32>::max()));
            key += char(0xFF);
            for (int shift = 24; shift >= 0; shift -= 8)
                key += char((wide >> shift) & 0xFF);
        }
        for (qsizetype k = begin; k < end; ++k)
            key += char(name[k].unicode());
    }

    Collator collator_;
    std::string zero_;
    std::string digitLead_;
    PieceKeys pieces_[4]; // by whether a number stands before and after
    std::vector<const LevelKey*> used_;
};

// A name with its key, and the key's first eight bytes as one number (zeros
// after a shorter key): most pairs differ there, so most comparisons cost one
// integer comparison.
struct KeyedName {
    quint64 head = 0;
    std::string key;
    QString name;
};

KeyedName withKey(KeyMaker& keys, QString name)
{
    KeyedName result{0, keys.key(name), std::move(name)};
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

QLocale Language()
{
    const QLocale collation = QLocale::system().collation();
    return collation.language() == QLocale::C ? QLocale(QLocale::Czech, QLocale::Czechia) : collation;
}

void Sort(QStringList& names)
{
    Sort(names, Language());
}

void Sort(QStringList& names, const QLocale& language)
{
    // Nothing to order: the collator is not opened (its data takes a while
    // to load).
    if (names.size() < 2)
        return;
    KeyMaker keys(language);
    std::vector<KeyedName> keyed;
    keyed.reserve(static_cast<size_t>(names.size()));
    for (QString& name : names)
        keyed.push_back(withKey(keys, std::move(name)));
    std::sort(keyed.begin(), keyed.end(), keyedLess);
    for (qsizetype k = 0; k < names.size(); ++k)
        names[k] = std::move(keyed[static_cast<size_t>(k)].name);
}

} // namespace NaturalOrder
