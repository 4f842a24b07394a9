#pragma once

#include <QRegularExpression>
#include <QString>

#include <vector>

// The wildcards of the file list's pattern, separated by ";" ("*.JPG;*.BMP"),
// matched regardless of letter case against the shown form of a name. An
// empty pattern matches every name. Wildcards of the form "*.EXT" are tested
// as a suffix, which is much cheaper than a regular expression on folders of
// a hundred thousand files; any other wildcard goes through one.
class NameFilter {
public:
    explicit NameFilter(const QString& pattern = {});

    bool Matches(const QString& name) const;

private:
    bool matchesSuffix(const QString& name) const;
    bool matchesExpression(const QString& name) const;

    bool matchesAll_ = true;
    std::vector<QString> suffixes_;
    std::vector<QRegularExpression> expressions_;
};
