#include "Kalvio.h"

#include "CaptionLabel.h"
#include "CommandLine.h"
#include "EnlargedView.h"
#include "FolderSource.h"
#include "PageGrid.h"
#include "WindowColors.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <utility>

void Kalvio::setStartPath(const QString& folder, const QString& picture)
{
    source_->setStartPath(folder, picture);
}

void Kalvio::load()
{
    setWindowTitle(QStringLiteral("Kalvio ver 1.1"));
    // The menus already carry these captions from their creation; setting them
    // again here is intended and changes nothing the user sees.
    fileMenu_->setTitle(QStringLiteral("&Soubor"));
    exitAction_->setText(QStringLiteral("&Konec"));
    helpMenu_->setTitle(QStringLiteral("&Pomoc"));
    aboutAction_->setText(QStringLiteral("&O Aplikaci"));
    // The exit label is created as "Koniec" and renamed here, before the
    // layout centres it on the exit image at its new size; intended.
    exitLabel_->setCaption(QStringLiteral("Konec"));
    pageCounterHeading_->setCaption(QStringLiteral("Obrazovka"));
    pageCounter_->setCaption(QStringLiteral(" 0 z 0"));
    credits_ = QStringLiteral("Velorin\r\n\r\n           https://www.velorin.example");
    grid_->setWaitText(QStringLiteral("  Čekejte..."));
    setBackColor(WindowColors::Background);

    arrangeWindow();

    // Shown centred, at the size the layout gave it.
    if (const QScreen* shownOn = screen())
        move(shownOn->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    // Started full screen on a picture, the window shows with it once it is
    // decoded (openFullScreenStart); its folder is named, so there is no search.
    if (!firstPicture_) {
        show();
        // The keys come here from the start: without a window manager to
        // give it the input focus, the window takes it itself.
        activateWindow();
        paintBeforeTheSearch();
    }
    // The first page, when asked for ahead, now decodes on every core.
    pictures_.setDecodingWorkers(0);

    // The folder named, or found below the current directory, is listed and
    // its first page set up (folderListed) before this returns.
    source_->setPattern(CommandLine::ListedPictures);
    source_->start();
    // The icon comes last: decoding its eight pictures would hold up the
    // first paint and the first page, and the window manager takes an icon
    // up whenever it comes (the desktop entry names one meanwhile).
    setWindowIcon(WindowIcon());
}

// The folder search lets no event run and can take a while on a large tree,
// so the laid-out window is put on the screen first: the window system gets
// the time to map it (input still waits, as it does during the search), and
// the window paints itself once.
void Kalvio::paintBeforeTheSearch()
{
    QElapsedTimer waited;
    waited.start();
    const QWindow* window = windowHandle();
    while (window && !window->isExposed() && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!window->isExposed())
            QThread::msleep(5);
    }
    // Exposed, the window has mostly painted already.
    if (!painted_)
        repaint();
}

// The window's icon in every size of the icon set, so that docks and task
// switchers need not scale one up: the 32 x 32 16-colour icon and the theme's
// renderings of the same drawing for the other sizes.
QIcon Kalvio::WindowIcon()
{
    QIcon icon(QStringLiteral(":/assets/kalvio.ico"));
    for (const int size : {16, 22, 24, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/kalvio-%1.png").arg(size), QSize(size, size));
    return icon;
}

// The page of `startEntry` (the first page when -1): the page arrows that
// apply are shown and the page is drawn. A picture named at start, or
// opened or dropped, is shown on its own page, enlarged before that page is
// drawn.
void Kalvio::setPageTagsFromList(int startEntry)
{
    browsing_.setPage(startEntry < 0 ? 0 : Browsing::pageOf(startEntry));
    showPageArrows();
    // Asked for full screen, the picture goes there, and the page is drawn
    // once it is left (leftFullScreen): drawn behind, it would only hold up
    // the pictures decoded ahead of the full screen.
    if (std::exchange(fullScreenStart_, false) && browsing_.entryCount() > 0) {
        // The picture named is what the user looks at: enlarged then, its
        // keys step and close.
        viewKeysAfterFullScreen_ = startEntry >= 0;
        openFullScreenStart(std::max(startEntry, 0));
        return;
    }
    showWithFullScreenStart(-1); // nothing listed to show full screen
    if (startEntry >= 0) {
        openBeforeItsPageIsDrawn(browsing_.currentPage(), Browsing::cellOf(startEntry));
        // The picture named is what the user looks at: its keys step and close.
        if (browsing_.viewOpen())
            view_->takeFocus();
    }
    showPage();
}
