#include "Kalvio.h"

#include "CommandLine.h"
#include "NativeName.h"
#include "WindowRules.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>

// The full-screen view, the folder chooser and dropped files, tied into the
// window: the view opens on the file list's names and, when left, the window
// shows the last picture viewed as a click would have opened it.

void Kalvio::connectFullScreen()
{
    fullScreen_ = std::make_unique<FullScreenView>(pictures_);
    connect(fullScreen_.get(), &FullScreenView::closed, this, &Kalvio::leftFullScreen);
    connect(OpenFolder, &QAction::triggered, this, &Kalvio::OpenFolder_Click);
    // F11 wherever the focus is in the window; F only in the grid and the
    // view, as the lists take letters to find names.
    auto* fullScreenKey = new QAction(this);
    fullScreenKey->setShortcut(QKeySequence(Qt::Key_F11));
    addAction(fullScreenKey);
    connect(fullScreenKey, &QAction::triggered, this, [this] { openFullScreen(fullScreenEntry()); });
    setAcceptDrops(true);

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
    for (int i = 0; i < CellCount; ++i) {
        offerFullScreen(Obr[i], [this, i] {
            const int entry = tags.pageIndex.value_or(0) * CellCount + i;
            return !Okno[i]->Caption().isEmpty() && entry < File1->ListCount() ? entry : -1;
        });
    }
    offerFullScreen(ZoomOkno, [this] { return fullScreenEntry(); });
}

int Kalvio::fullScreenEntry() const
{
    const int count = File1->ListCount();
    const int first = tags.pageIndex.value_or(0) * CellCount;
    int cell = tags.zoomCell.value_or(0);
    if (!ZoomOkno->Visible()) {
        if (const int focused = cellOf(focusWidget()); focused >= 0)
            cell = focused;
    }
    if (first + cell < count)
        return first + cell;
    return first < count ? first : -1;
}

void Kalvio::openFullScreen(int entry)
{
    const int count = File1->ListCount();
    if (entry < 0 || entry >= count)
        return;
    QStringList names;
    names.reserve(count);
    for (int k = 0; k < count; ++k)
        names << File1->List(k);
    fullScreen_->open(Dir1->Path(), names, entry, screen());
}

// The page of the last picture viewed, that picture enlarged: by a click on
// its cell when the page is shown, else as the start picture is opened.
void Kalvio::leftFullScreen(int entry)
{
    activateWindow();
    raise();
    if (entry < 0 || entry >= File1->ListCount())
        return;
    const int page = WindowRules::PageOf(entry);
    const int cell = entry % CellCount;
    if (tags.pageIndex == page && Okno[cell]->Caption() == File1->List(entry)) {
        Obr_Click(cell);
        return;
    }
    cutShortPass(CellClearing::PictureAndCaption);
    tags.pageIndex = page;
    UpdatePageArrows();
    openBeforeItsPageIsDrawn(page, cell);
    ShowPage();
}

void Kalvio::openPath(const QString& path)
{
    const CommandLine line = CommandLine::Parse({NativeName::Encode(path)});
    if (line.action != CommandLine::Action::Run || line.folder.isEmpty())
        return;
    startPicture_ = line.picture;
    // A new folder raises the folder list's change, which opens the picture;
    // the same folder is read again here.
    if (Dir1->Path() == line.folder)
        Dir1_Change();
    else
        Dir1->setPath(line.folder);
}

void Kalvio::OpenFolder_Click()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Otevřít složku"), NativeName::Display(Dir1->Path()));
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
