#include "FolderList.h"

#include "FolderService.h"
#include "ShownText.h"

#include <QStyle>

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

QString FolderList::Normalised(const QString& path)
{
    QString result = path;
    while (result.size() > 1 && result.endsWith(u'/'))
        result.chop(1);
    return result;
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent), TwipsPlacement(this)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit opened(item->data(PathRole).toString()); });
}

void FolderList::showFolder(const QString& path)
{
    const QString wanted = Normalised(path);
    if (wanted == path_)
        return;
    path_ = wanted;
    rebuild();
}

QString FolderList::EntryPath(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(PathRole).toString() : QString();
}

void FolderList::addEntry(const QString& path, const QString& label, int depth, bool open)
{
    auto* entry = new QListWidgetItem(QString(depth * 2, u' ') + ShownText::Of(label), this);
    entry->setData(PathRole, path);
    QIcon& icon = open ? openIcon_ : closedIcon_;
    if (icon.isNull())
        icon = style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirIcon);
    entry->setIcon(icon);
}

void FolderList::rebuild()
{
    clear();
    if (!path_.startsWith(u'/'))
        return;

    // The chain of folders from the root down to the current one.
    addEntry(QStringLiteral("/"), QStringLiteral("/"), 0, true);
    QString reached = QStringLiteral("/");
    int depth = 0;
    for (const QString& part : path_.split(u'/', Qt::SkipEmptyParts)) {
        reached = FolderService::JoinPath(reached, part);
        addEntry(reached, part, ++depth, true);
    }
    setCurrentRow(count() - 1);

    for (const QString& subfolder : FolderService::SubFolders(path_))
        addEntry(subfolder, subfolder.mid(subfolder.lastIndexOf(u'/') + 1), depth + 1, false);
}
