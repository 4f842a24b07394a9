#include "FolderChooser.h"

#include "FolderService.h"
#include "NativeName.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1; // its subfolders have been read

bool isFolder(const QString& path)
{
    std::error_code error;
    return !path.isEmpty() && std::filesystem::is_directory(NativeName::ToPath(path), error);
}

// The folder to start at: the one given when it is an absolute path, else
// the current directory, else "/".
QString startingFolder(const QString& start)
{
    if (start.startsWith(u'/'))
        return start;
    const QString current = FolderService::CurrentDirectory();
    return current.isEmpty() ? QStringLiteral("/") : current;
}

} // namespace

FolderChooser::FolderChooser(const QString& start, QWidget* parent)
    : QDialog(parent), start_(startingFolder(start)), tree_(new QTreeWidget(this)), line_(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Otevřít složku"));

    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setExpandsOnDoubleClick(false); // a double-click chooses instead

    auto* label = new QLabel(QStringLiteral("&Složka:"), this);
    label->setBuddy(line_);
    auto* buttons = new QDialogButtonBox(this);
    openButton_ = buttons->addButton(QStringLiteral("Otevřít"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Zrušit"), QDialogButtonBox::RejectRole);
    // Enter anywhere but on "Zrušit" chooses: the tree and the line leave the
    // key to the dialog, which presses its default button.
    openButton_->setDefault(true);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(label);
    pathRow->addWidget(line_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addLayout(pathRow);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_, &QTreeWidget::itemExpanded, this, &FolderChooser::readSubfolders);
    connect(tree_, &QTreeWidget::currentItemChanged, this, &FolderChooser::currentFolderChanged);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (openButton_->isEnabled())
            accept();
    });
    connect(line_, &QLineEdit::textEdited, this, &FolderChooser::pathTyped);

    tree_->setCurrentItem(openDownTo(start_));
    tree_->setFocus();
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 32);
}

QString FolderChooser::Choose(QWidget* parent, const QString& start)
{
    FolderChooser chooser(start, parent);
    return chooser.exec() == QDialog::Accepted ? chooser.chosenFolder() : QString();
}

void FolderChooser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QTreeWidgetItem* current = tree_->currentItem())
        tree_->scrollToItem(current, QAbstractItemView::PositionAtCenter);
}

QTreeWidgetItem* FolderChooser::addFolder(QTreeWidgetItem* parent, const QString& path, const QString& label)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, NativeName::Display(label));
    item->setData(0, PathRole, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    // Whether it has subfolders is known once it is expanded.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FolderChooser::readSubfolders(QTreeWidgetItem* item)
{
    if (item->data(0, ReadRole).toBool())
        return;
    item->setData(0, ReadRole, true);
    for (const QString& subfolder : FolderService::SubFolders(item->data(0, PathRole).toString()))
        addFolder(item, subfolder, subfolder.mid(subfolder.lastIndexOf(u'/') + 1));
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

// The tree from "/" expanded down to folder, whose item is returned. A folder
// on the way that its parent does not list (a hidden one) is added to it.
QTreeWidgetItem* FolderChooser::openDownTo(const QString& folder)
{
    QTreeWidgetItem* item = addFolder(nullptr, QStringLiteral("/"), QStringLiteral("/"));
    QString reached = QStringLiteral("/");
    for (const QString& part : folder.split(u'/', Qt::SkipEmptyParts)) {
        item->setExpanded(true);
        reached = FolderService::JoinPath(reached, part);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            if (item->child(i)->data(0, PathRole).toString() == reached)
                next = item->child(i);
        }
        item = next ? next : addFolder(item, reached, part);
    }
    item->setExpanded(true);
    return item;
}

void FolderChooser::currentFolderChanged(QTreeWidgetItem* item)
{
    if (!item)
        return;
    choose(item->data(0, PathRole).toString());
    line_->setText(NativeName::Display(chosen_));
}

// A typed path: "~" is the home folder, and a relative path is taken from the
// folder the chooser started at.
void FolderChooser::pathTyped(const QString& text)
{
    QString path = text;
    if (path == u'~' || path.startsWith(QStringLiteral("~/")))
        path.replace(0, 1, QDir::homePath());
    else if (!path.isEmpty() && !path.startsWith(u'/'))
        path = FolderService::JoinPath(start_, path);
    choose(path.isEmpty() ? path : QDir::cleanPath(path));
}

void FolderChooser::choose(const QString& folder)
{
    chosen_ = folder;
    openButton_->setEnabled(isFolder(folder));
}
