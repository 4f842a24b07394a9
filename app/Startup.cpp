#include "Kalvio.h"

#include "Colors.h"
#include "FolderService.h"

#include <QAction>
#include <QMenu>
#include <QScreen>

void Kalvio::setStartPath(const QString& folder, const QString& picture)
{
    startFolder_ = folder;
    startPicture_ = picture;
}

void Kalvio::Form_Load()
{
    setWindowTitle(QStringLiteral("Kalvio ver 1.1"));
    File->setTitle(QStringLiteral("Soubor"));
    Konec->setText(QStringLiteral("Konec"));
    Pomoc->setTitle(QStringLiteral("Pomoc"));
    Autor->setText(QStringLiteral("O Aplikaci"));
    KoniecLabel->setCaption(QStringLiteral("Konec"));
    StranaText->setCaption(QStringLiteral("Obrazovka"));
    Strana->setCaption(QStringLiteral(" 0 z 0"));
    tags.credits = QStringLiteral("Velorin\r\n\r\n           https://www.velorin.example");
    tags.waitText = QStringLiteral("  Čekejte...");
    setBackColor(RGB(156, 194, 217));

    ArrangeWindow();

    // Shown centred, at the size the layout gave it.
    if (const QScreen* shownOn = screen())
        move(shownOn->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    show();

    File1->setPattern(QStringLiteral("*.JPG;*.BMP;*.GIF"));
    QString startFolder = FolderService::CurrentDirectory();
    startFolder = HladajPrvyFile(startFolder);
    // A different path raises the folder list's change event, and
    // Dir1_Change sets up the first page before the assignment returns.
    Dir1->setPath(startFolder);
    File1->setPath(Dir1->Path());

    if (FolderService::CurrentDirectory() == startFolder)
        setPageTagsFromList();
}

// Resets the page tags to the first page of the file list, shows the page
// arrows that apply and draws the page.
void Kalvio::setPageTagsFromList()
{
    const int pictures = File1->ListCount();
    tags.pageIndex = 0;
    tags.pageCount = (pictures + CellCount - 1) / CellCount;
    UpdatePageArrows();
    ShowPage();
}
