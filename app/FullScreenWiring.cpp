#include "Kalvio.h"

#include "CommandLine.h"
#include "EnlargedView.h"
#include "FolderChooser.h"
#include "FolderSource.h"
#include "FullScreenView.h"
#include "NativeName.h"
#include "PageGrid.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include <utility>

namespace {

// How long the first picture of a full-screen start may take before the
// windows show without it (a very large or slow file), its picture to follow.
constexpr std::chrono::milliseconds FirstPicturePatience{500};

} // namespace

// The full-screen view, the folder chooser and dropped files, tied into the
// window: the view opens on the names of what is browsed and, when left, the
// window shows the last picture viewed as the view's own stepping would have
// opened it.

void Kalvio::connectFullScreen()
{
    fullScreen_ = std::make_unique<FullScreenView>(browsing_, pictures_);
    connect(fullScreen_.get(), &FullScreenView::closed, this, &Kalvio::leftFullScreen);
    connect(openAction_, &QAction::triggered, this, &Kalvio::openChosen);
    setAcceptDrops(true);

    // F11 wherever the focus is in the window; F (KeyActions) only on a cell
    // and in the view, as the lists take letters to find names.
    auto* fullScreenKey = new QAction(this);
    fullScreenKey->setShortcut(QKeySequence(Qt::Key_F11));
    fullScreenKey->setShortcutContext(Qt::WindowShortcut);
    addAction(fullScreenKey);
    connect(fullScreenKey, &QAction::triggered, this, [this] { openFullScreen(fullScreenEntry()); });

    // A thumbnail and the enlarged picture offer full screen on the right button.
    connect(grid_, &PageGrid::contextMenuAsked, this,
            [this](int cell, QPoint global) { offerFullScreen(browsing_.entryShownAt(cell), global); });
    connect(view_, &EnlargedView::contextMenuAsked, this,
            [this](QPoint global) { offerFullScreen(fullScreenEntry(), global); });
}

void Kalvio::offerFullScreen(int entry, QPoint global)
{
    if (entry < 0)
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("Celá obrazovka\tF"), this, [this, entry] { openFullScreen(entry); });
    menu.exec(global);
}

void Kalvio::setSlideshowDelay(std::chrono::milliseconds delay)
{
    fullScreen_->setSlideshowDelay(delay);
}

int Kalvio::fullScreenEntry() const
{
    return browsing_.fullScreenEntry(grid_->focusedCell());
}

void Kalvio::openFullScreen(int entry)
{
    if (entry < 0 || entry >= browsing_.entryCount())
        return;
    fullScreen_->open(entry, screen(), fullScreenStandIn(entry));
}

// The best picture of `entry` the window has at hand, drawn scaled up until
// the picture is decoded for the screen: the enlarged view's, else the
// thumbnail (not a small copy, whose size is not the picture's).
std::optional<Pictures::Picture> Kalvio::fullScreenStandIn(int entry)
{
    const QString name = browsing_.nameAt(entry);
    for (const Pictures::Request& request : {viewRequest(name), grid_->thumbnailRequest(name)}) {
        const std::optional<Pictures::Result> result = pictures_.cached(request);
        if (result && result->decoded && result->candidate + 1 == int(request.candidates.size()))
            return result->decoded.picture;
    }
    return std::nullopt;
}

void Kalvio::openFullScreenStart(int entry)
{
    if (!firstPicture_) { // the window is up already
        openFullScreen(entry);
        return;
    }
    if (pictures_.tryGet(*firstPicture_)) {
        showWithFullScreenStart(entry);
        return;
    }
    // Asked for again at each wake-up: should anything have cancelled the
    // decode, it goes on its way again at once.
    firstPictureWait_ = connect(&pictures_, &Pictures::Pipeline::resultReady, this, [this, entry] {
        if (firstPicture_ && pictures_.tryGet(*firstPicture_))
            showWithFullScreenStart(entry);
    });
    QTimer::singleShot(FirstPicturePatience, this, [this, entry] { showWithFullScreenStart(entry); });
    // Meanwhile both windows are made, so that showing them is only mapping.
    winId();
    fullScreen_->winId();
}

// The window, then the full screen on `entry` over it (none for -1): mapped
// at once, one after the other, the window is never seen on its own.
void Kalvio::showWithFullScreenStart(int entry)
{
    if (!firstPicture_)
        return;
    firstPicture_.reset();
    disconnect(firstPictureWait_);
    show();
    openFullScreen(entry);
}

// The page of the last picture viewed, that picture enlarged: by a click on
// its cell when the page shows it, else as stepping back over a page edge
// does, the picture opened before its page is drawn.
void Kalvio::leftFullScreen(int entry)
{
    activateWindow();
    raise();
    const bool viewKeys = std::exchange(viewKeysAfterFullScreen_, false);
    if (entry < 0 || entry >= browsing_.entryCount())
        return;
    const int page = Browsing::pageOf(entry);
    const int cell = Browsing::cellOf(entry);
    if (browsing_.page() == page && browsing_.entryShownAt(cell) == entry) {
        openCell(cell);
        return;
    }
    grid_->cutShortPass(PageGrid::Clearing::PictureAndCaption);
    browsing_.setPage(page);
    showPageArrows();
    openBeforeItsPageIsDrawn(page, cell);
    if (viewKeys && browsing_.viewOpen())
        view_->takeFocus();
    showPage();
}

void Kalvio::openPath(const QString& path)
{
    const CommandLine line = CommandLine::Parse({NativeName::Encode(path)});
    if (line.action != CommandLine::Action::Run || line.folder.isEmpty())
        return;
    // Listed again when it is the folder shown; the picture opens on its page.
    source_->open(line.folder, line.picture);
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
