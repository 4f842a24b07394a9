#include "NameFilter.h"

#include "NativeName.h"

#include <algorithm>

namespace {

// The suffix ".EXT" of a wildcard "*.EXT" whose EXT is plain ASCII without
// wildcard characters, or empty text for any other wildcard. Plain ASCII, so
// that a suffix test on the stored name means what the wildcard means on the
// shown one: only bytes that are not UTF-8 differ between the two.
QString plainSuffix(const QString& wildcard)
{
    if (!wildcard.startsWith(QStringLiteral("*.")))
        return {};
    const QString suffix = wildcard.mid(1);
    const bool plain = std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7F && !QStringLiteral("*?[]\\/").contains(c);
    });
    return plain ? suffix : QString();
}

} // namespace

NameFilter::NameFilter(const QString& pattern)
{
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        matchesAll_ = false;
        const QString wildcard = part.trimmed();
        if (const QString suffix = plainSuffix(wildcard); !suffix.isEmpty())
            suffixes_.push_back(suffix);
        else
            expressions_.emplace_back(QRegularExpression::wildcardToRegularExpression(
                                          wildcard, QRegularExpression::DefaultWildcardConversion),
                                      QRegularExpression::CaseInsensitiveOption);
    }
}

bool NameFilter::Matches(const QString& name) const
{
    return matchesAll_ || matchesSuffix(name) || matchesExpression(name);
}

bool NameFilter::matchesSuffix(const QString& name) const
{
    return std::any_of(suffixes_.begin(), suffixes_.end(),
                       [&](const QString& suffix) { return name.endsWith(suffix, Qt::CaseInsensitive); });
}

bool NameFilter::matchesExpression(const QString& name) const
{
    if (expressions_.empty())
        return false;
    // Matched on the shown form: the regular expression engine refuses text
    // with the lone surrogates that stand for bytes that are not UTF-8.
    const QString shown = NativeName::Display(name);
    return std::any_of(expressions_.begin(), expressions_.end(),
                       [&](const QRegularExpression& expression) { return expression.match(shown).hasMatch(); });
}
