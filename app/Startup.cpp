#include "Kalvio.h"

#include "CommandLine.h"
#include "FolderService.h"
#include "WindowColors.h"
#include "WindowRules.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
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
    fileMenu->setTitle(QStringLiteral("&Soubor"));
    exitAction->setText(QStringLiteral("&Konec"));
    helpMenu->setTitle(QStringLiteral("&Pomoc"));
    aboutAction->setText(QStringLiteral("&O Aplikaci"));
    // The exit label is created as "Koniec" and renamed here, before the
    // layout centres it on the exit image at its new size; intended.
    exitLabel->setCaption(QStringLiteral("Konec"));
    pageCounterHeading->setCaption(QStringLiteral("Obrazovka"));
    pageCounter->setCaption(QStringLiteral(" 0 z 0"));
    credits_ = QStringLiteral("Velorin\r\n\r\n           https://www.velorin.example");
    grid_->setWaitText(QStringLiteral("  Čekejte..."));
    setBackColor(WindowColors::Background);

    arrangeWindow();

    // Shown centred, at the size the layout gave it.
    if (const QScreen* shownOn = screen())
        move(shownOn->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
    paintBeforeTheSearch();

    source_->fileList()->setPattern(CommandLine::ListedPictures);
    browsing_.names = source_->fileList()->names();
    const QString startFolder = source_->startFolder();
    // A different path raises the folder list's change event, and
    // folderChosen sets up the first page before the assignment returns.
    source_->folderList()->setPath(startFolder);
    listFolder();

    if (FolderService::CurrentDirectory() == startFolder)
        setPageTagsFromList();
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
    repaint();
}

// Resets the page tags to the first page of the file list, shows the page
// arrows that apply and draws the page. A picture named on the command line
// is shown instead on its own page, enlarged before that page is drawn.
void Kalvio::setPageTagsFromList()
{
    const int startEntry = takeStartPicture();
    browsing_.page = startEntry < 0 ? 0 : Browsing::pageOf(startEntry);
    browsing_.pageCount = Browsing::pageCountFor(browsing_.entryCount());
    showPageArrows();
    // Asked for full screen, the picture goes there before anything else is drawn.
    if (std::exchange(fullScreenStart_, false) && browsing_.entryCount() > 0)
        openFullScreen(std::max(startEntry, 0));
    if (startEntry >= 0) {
        openBeforeItsPageIsDrawn(*browsing_.page, Browsing::cellOf(startEntry));
        // The picture named is what the user looks at: its keys step and close.
        if (browsing_.viewOpen)
            view_->takeFocus();
    }
    showPage();
}

// The file list's entry of the picture named on the command line (-1 when
// none was named or it is not listed); asked once, at start.
int Kalvio::takeStartPicture()
{
    const QString name = source_->takeStartPicture();
    if (name.isEmpty())
        return -1;
    return browsing_.entryNamed(name);
}
