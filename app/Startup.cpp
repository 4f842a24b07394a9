#include "Kalvio.h"

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
    startFolder_ = folder;
    startPicture_ = picture;
}

void Kalvio::Form_Load()
{
    setWindowTitle(QStringLiteral("Kalvio ver 1.1"));
    // The menus already carry these captions from their creation; setting them
    // again here is intended and changes nothing the user sees.
    File->setTitle(QStringLiteral("&Soubor"));
    Konec->setText(QStringLiteral("&Konec"));
    Pomoc->setTitle(QStringLiteral("&Pomoc"));
    Autor->setText(QStringLiteral("&O Aplikaci"));
    // The exit label is created as "Koniec" and renamed here, before the
    // layout centres it on the exit image at its new size; intended.
    KoniecLabel->setCaption(QStringLiteral("Konec"));
    StranaText->setCaption(QStringLiteral("Obrazovka"));
    Strana->setCaption(QStringLiteral(" 0 z 0"));
    tags.credits = QStringLiteral("Velorin\r\n\r\n           https://www.velorin.example");
    tags.waitText = QStringLiteral("  Čekejte...");
    setBackColor(WindowColors::Background);

    ArrangeWindow();

    // Shown centred, at the size the layout gave it.
    if (const QScreen* shownOn = screen())
        move(shownOn->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
    paintBeforeTheSearch();

    File1->setPattern(QStringLiteral("*.JPG;*.BMP;*.GIF"));
    QString startFolder = FolderService::CurrentDirectory();
    // A folder named on the command line is shown as it is: the user chose it.
    startFolder = startFolder_.isEmpty() ? HladajPrvyFile(startFolder) : startFolder_;
    // A different path raises the folder list's change event, and
    // Dir1_Change sets up the first page before the assignment returns.
    Dir1->setPath(startFolder);
    File1->setPath(Dir1->Path());

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
    tags.pageIndex = startEntry < 0 ? 0 : WindowRules::PageOf(startEntry);
    tags.pageCount = WindowRules::PageCount(File1->ListCount());
    UpdatePageArrows();
    // Asked for full screen, the picture goes there before anything else is drawn.
    if (std::exchange(fullScreenStart_, false) && File1->ListCount() > 0)
        openFullScreen(std::max(startEntry, 0));
    if (startEntry >= 0)
        openBeforeItsPageIsDrawn(*tags.pageIndex, startEntry % CellCount);
    ShowPage();
}

// The file list's entry of the picture named on the command line (-1 when
// none was named or it is not listed); asked once, at start.
int Kalvio::takeStartPicture()
{
    const QString name = std::exchange(startPicture_, QString());
    if (name.isEmpty())
        return -1;
    for (int k = 0; k < File1->ListCount(); ++k) {
        if (File1->List(k) == name)
            return k;
    }
    return -1;
}
