#include "FileList.h"

#include "FolderService.h"
#include "NativeName.h"
#include "NaturalOrder.h"

#include <QSignalBlocker>

FileList::FileList(QWidget* parent) : QListWidget(parent), TwipsPlacement(this)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!refilling_)
            emit Click();
    });
}

void FileList::setPath(const QString& path)
{
    path_ = path;
    refill();
}

void FileList::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    wildcards_.clear();
    for (const QString& wildcard : pattern.split(u';', Qt::SkipEmptyParts)) {
        wildcards_.emplace_back(QRegularExpression::wildcardToRegularExpression(
                                    wildcard.trimmed(), QRegularExpression::DefaultWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
    }
    refill();
}

QString FileList::List(int k) const
{
    if (k < 0 || k >= names_.size())
        return {};
    return names_.at(k);
}

void FileList::setListIndex(int k)
{
    setCurrentRow(k);
}

bool FileList::matches(const QString& name) const
{
    if (wildcards_.empty())
        return true;
    for (const QRegularExpression& wildcard : wildcards_) {
        // Matched on the shown form: the regular expression engine refuses
        // text with the lone surrogates that stand for bytes that are not UTF-8.
        if (wildcard.match(NativeName::Display(name)).hasMatch())
            return true;
    }
    return false;
}

void FileList::refill()
{
    refilling_ = true;
    names_.clear();
    if (!path_.isEmpty()) {
        for (const QString& name : FolderService::FileNames(path_)) {
            if (matches(name))
                names_.append(name);
        }
        NaturalOrder::Sort(names_);
    }
    clear();
    QStringList shown;
    shown.reserve(names_.size());
    for (const QString& name : names_)
        shown.append(NativeName::Display(name));
    addItems(shown);
    refilling_ = false;
}
