#include "Kalvio.h"

#include "CommandLine.h"
#include "FolderChooser.h"
#include "NativeName.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

#include <functional>

// The full-screen view, the folder chooser and dropped files, tied into the
// window: the view opens on the names of what is browsed and, when left, the
// window shows the last picture viewed as the view's own stepping would have
// opened it.

void Kalvio::connectFullScreen()
{
    fullScreen_ = std::make_unique<FullScreenView>(pictures_);
    connect(fullScreen_.get(), &FullScreenView::closed, this, &Kalvio::leftFullScreen);
    connect(openAction, &QAction::triggered, this, &Kalvio::openChosen);
    setAcceptDrops(true);

    // F11 wherever the focus is in the window; F only on a cell and in the
    // view, as the lists take letters to find names.
    const auto addFullScreenKey = [this](QWidget* owner, QKeySequence key, Qt::ShortcutContext context) {
        auto* action = new QAction(owner);
        action->setShortcut(key);
        action->setShortcutContext(context);
        owner->addAction(action);
        connect(action, &QAction::triggered, this, [this] { openFullScreen(fullScreenEntry()); });
    };
    addFullScreenKey(this, QKeySequence(Qt::Key_F11), Qt::WindowShortcut);
    addFullScreenKey(view_->box(), QKeySequence(Qt::Key_F), Qt::WidgetWithChildrenShortcut);
    for (int i = 0; i < CellCount; ++i) {
        addFullScreenKey(grid_->frame(i), QKeySequence(Qt::Key_F), Qt::WidgetShortcut);
        addFullScreenKey(grid_->thumbnail(i), QKeySequence(Qt::Key_F), Qt::WidgetShortcut);
    }

    // A thumbnail and the enlarged picture offer full screen on the right button.
    const auto offerFullScreen = [this](QWidget* control, std::function<int()> entry) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this, [this, control, entry](QPoint at) {
            const int chosen = entry();
            if (chosen < 0)
                return;
            QMenu menu(this);
            menu.addAction(QStringLiteral("Celá obrazovka\tF"), this, [this, chosen] { openFullScreen(chosen); });
            menu.exec(control->mapToGlobal(at));
        });
    };
    for (int i = 0; i < CellCount; ++i)
        offerFullScreen(grid_->thumbnail(i), [this, i] { return shownEntryOfCell(i); });
    offerFullScreen(view_->box(), [this] { return fullScreenEntry(); });
}

// The list entry cell `cell` shows a picture of now, or -1.
int Kalvio::shownEntryOfCell(int cell) const
{
    const int entry = Browsing::entryOf(browsing_.currentPage(), cell);
    const QString& name = browsing_.frameNames[cell];
    return !name.isEmpty() && name == browsing_.nameAt(entry) ? entry : -1;
}

int Kalvio::fullScreenEntry() const
{
    if (browsing_.viewOpen && browsing_.viewEntry)
        return *browsing_.viewEntry;
    if (const int focused = grid_->cellOf(focusWidget()); focused >= 0 && shownEntryOfCell(focused) >= 0)
        return shownEntryOfCell(focused);
    const int page = browsing_.currentPage();
    if (browsing_.viewEntry && Browsing::pageOf(*browsing_.viewEntry) == page)
        return *browsing_.viewEntry;
    const int first = Browsing::firstEntryOf(page);
    return first < browsing_.entryCount() ? first : -1;
}

void Kalvio::openFullScreen(int entry)
{
    if (entry < 0 || entry >= browsing_.entryCount())
        return;
    fullScreen_->open(browsing_.folder, browsing_.names, entry, screen());
}

// The page of the last picture viewed, that picture enlarged: by a click on
// its cell when the page shows it, else as stepping back over a page edge
// does, the picture opened before its page is drawn.
void Kalvio::leftFullScreen(int entry)
{
    activateWindow();
    raise();
    if (entry < 0 || entry >= browsing_.entryCount())
        return;
    const int page = Browsing::pageOf(entry);
    const int cell = Browsing::cellOf(entry);
    if (browsing_.page == page && shownEntryOfCell(cell) == entry) {
        openCell(cell);
        return;
    }
    grid_->cutShortPass(PageGrid::Clearing::PictureAndCaption);
    browsing_.page = page;
    showPageArrows();
    openBeforeItsPageIsDrawn(page, cell);
    showPage();
}

void Kalvio::openPath(const QString& path)
{
    const CommandLine line = CommandLine::Parse({NativeName::Encode(path)});
    if (line.action != CommandLine::Action::Run || line.folder.isEmpty())
        return;
    source_->setStartPicture(line.picture);
    // A new folder raises the folder list's change, which opens the picture;
    // the same folder is read again here.
    if (source_->folder() == line.folder)
        folderChosen();
    else
        source_->folderList()->setPath(line.folder);
}

void Kalvio::openChosen()
{
    // Not Qt's file dialog: it saves its history into the user's settings.
    const QString folder = FolderChooser::Choose(this, source_->folder());
    if (!folder.isEmpty())
        openPath(folder);
}

void Kalvio::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile())
        event->acceptProposedAction();
}

// The first of the dropped files or folders is opened.
void Kalvio::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    openPath(urls.front().toLocalFile());
}
