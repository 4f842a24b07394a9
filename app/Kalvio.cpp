#include "Kalvio.h"

#include "FolderService.h"
#include "QuitKey.h"
#include "Twips.h"
#include "WindowColors.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

namespace {

// Window frame and title bar are drawn by the window manager outside the
// widget; the outer size that the window is given allows for them with the
// sizes of a classic desktop frame.
constexpr int FrameBorderPixels = 4;
constexpr int TitleBarPixels = 18;

// The window's own bold face. Where the classic one is missing, Liberation
// Sans stands in: its letters are about as wide, so that 80 characters of a
// path fill the enlarged view's width as they were meant to (the common wider
// sans-serifs cut the end of the caption off).
QFont boldFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

// An image control at its picture's own size.
ImageControl* makeImage(const QString& resource, QWidget* parent, Twips left, Twips top)
{
    auto* image = new ImageControl(QPixmap(resource), parent);
    image->Move(left, top, image->Width(), image->Height());
    return image;
}

// A label in the window's bold face; the caption is set after the place, so
// that a label that sizes itself takes the caption's size.
CaptionLabel* makeLabel(QWidget* parent, double points, int color, const QRectF& place, const QString& caption)
{
    auto* label = new CaptionLabel(parent);
    label->setLabelFont(boldFont(points));
    label->setTextColor(color);
    label->Move(Twips(place.left()), Twips(place.top()), Twips(place.width()), Twips(place.height()));
    label->setCaption(caption);
    return label;
}

} // namespace

Kalvio::Kalvio(QWidget* parent) : Kalvio(Pictures::Pipeline::Options(), parent) {}

Kalvio::Kalvio(Pictures::Pipeline::Options pictures, QWidget* parent)
    : QMainWindow(parent), pictures_(std::move(pictures))
{
    Q_INIT_RESOURCE(resources);
    setWindowTitle(QStringLiteral("Kalvio ver 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/assets/kalvio.ico")));
    client_ = new QWidget(this);
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);
    setBackColor(WindowColors::InactiveBorder);
    createMenus();
    createControls();
    connectHandlers();
    connectFullScreen();
    // The client area before the layout runs.
    setWindowSizeTwips(9915_tw + Twips::fromPixels(2 * FrameBorderPixels),
                       7740_tw + Twips::fromPixels(2 * FrameBorderPixels + TitleBarPixels));
}

Kalvio::~Kalvio()
{
    // The window closing as it is destroyed moves the focus once more; that
    // must not reach a window whose own part is already gone.
    disconnect(qApp, &QApplication::focusChanged, this, &Kalvio::markFocusedCell);
}

void Kalvio::setWindowSizeTwips(Twips width, Twips height)
{
    width_ = width;
    height_ = height;
    const int clientWidth = width.pixels() - 2 * FrameBorderPixels;
    const int clientHeight = height.pixels() - 2 * FrameBorderPixels - TitleBarPixels;
    // A fixed size: the window can be neither resized nor maximised.
    setFixedSize(clientWidth, clientHeight);
}

void Kalvio::setBackColor(int color)
{
    backColor_ = color;
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    client_->setPalette(palette);
}

void Kalvio::createMenus()
{
    // "&" marks the letter that opens the menu or takes the item with Alt.
    fileMenu = menuBar()->addMenu(QStringLiteral("&Soubor"));
    openAction = fileMenu->addAction(QStringLiteral("&Otevřít…"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    exitAction = fileMenu->addAction(QStringLiteral("&Konec"));
    // Ctrl+Q by name: the standard "Quit" binding is empty on some desktops.
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    helpMenu = menuBar()->addMenu(QStringLiteral("&Pomoc"));
    aboutAction = helpMenu->addAction(QStringLiteral("&O Aplikaci"));
}

void Kalvio::createControls()
{
    // Created from back to front: a later sibling lies in front of an earlier
    // one. Images and labels come first, as they are drawn on the window's
    // surface behind every control that has a window of its own.
    exitImage = makeImage(QStringLiteral(":/assets/exit-button.gif"), client_, 6480_tw, 360_tw);
    exitLabel =
        makeLabel(client_, 12, WindowColors::ExitLabelText, QRectF(8085, 600, 885, 300), QStringLiteral("Koniec"));
    exitLabel->setAutoSize(true);
    pageBackArrow = makeImage(QStringLiteral(":/assets/prev-page.gif"), client_, 6600_tw, 1560_tw);
    pageForwardArrow = makeImage(QStringLiteral(":/assets/next-page.gif"), client_, 8160_tw, 1560_tw);
    pageCounterHeading =
        makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6915, 2640, 825, 240), QStringLiteral("Stránka"));
    pageCounterHeading->setAutoSize(true);
    pageCounter =
        makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6960, 3000, 735, 255), QStringLiteral("1 z 1"));

    source_ = new FolderSource(client_);
    grid_ = new PageGrid(browsing_, pictures_, client_);

    logo = new CommandButton(QPixmap(QStringLiteral(":/assets/logo.gif")), client_);
    logo->Move(120_tw, 6240_tw, 6855_tw, 975_tw);

    view_ = new EnlargedView(boldFont(8.25), client_);

    setUpKeyboardFocus();
    nameForScreenReaders();
}

// Keyboard focus starts in the folder list. Tab then goes to the file list,
// the frames and thumbnails (frame 0, thumbnail 0, frames 1 to 23, thumbnails
// 1 to 23), the page arrows, the exit image, the logo, and the enlarged view
// with its stepping images while it is open. The page counter and the labels
// take no focus.
void Kalvio::setUpKeyboardFocus()
{
    FolderList* folderList = source_->folderList();
    FileList* fileList = source_->fileList();
    PictureBox* enlargedView = view_->box();
    ImageControl* stepBackImage = view_->stepBackImage();
    ImageControl* stepForwardImage = view_->stepForwardImage();
    folderList->setFocusPolicy(Qt::StrongFocus);
    fileList->setFocusPolicy(Qt::StrongFocus);
    // A click on a thumbnail or the view moves the focus there; a click on a
    // frame, an arrow or the exit image leaves it where it was.
    for (int i = 0; i < CellCount; ++i) {
        grid_->frame(i)->setFocusPolicy(Qt::TabFocus);
        grid_->thumbnail(i)->setFocusPolicy(Qt::StrongFocus);
    }
    enlargedView->setFocusPolicy(Qt::StrongFocus);
    for (ImageControl* image : {pageBackArrow, pageForwardArrow, exitImage, stepBackImage, stepForwardImage})
        image->setFocusPolicy(Qt::TabFocus);
    // Ordered once every control takes focus: Qt leaves out those that do not.
    QList<QWidget*> chain{folderList, fileList, grid_->frame(0), grid_->thumbnail(0)};
    for (int i = 1; i < CellCount; ++i)
        chain << grid_->frame(i);
    for (int i = 1; i < CellCount; ++i)
        chain << grid_->thumbnail(i);
    chain << pageBackArrow << pageForwardArrow << exitImage << logo << enlargedView << stepBackImage
          << stepForwardImage;
    for (qsizetype k = 0; k + 1 < chain.size(); ++k)
        setTabOrder(chain[k], chain[k + 1]);
    folderList->setFocus();

    // The grid's and the view's keys and the wheel are the window's (see KeysAndWheel.cpp).
    for (QWidget* control : std::initializer_list<QWidget*>{client_, enlargedView, stepBackImage, stepForwardImage,
                                                            pageBackArrow, pageForwardArrow, exitImage})
        control->installEventFilter(this);
    for (int i = 0; i < CellCount; ++i) {
        grid_->frame(i)->installEventFilter(this);
        grid_->thumbnail(i)->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &Kalvio::markFocusedCell);
}

// Names that a screen reader says for the controls.
void Kalvio::nameForScreenReaders()
{
    view_->box()->setAccessibleName(QStringLiteral("Zvětšený obrázek"));
    view_->stepBackImage()->setAccessibleName(QStringLiteral("Předchozí obrázek"));
    view_->stepForwardImage()->setAccessibleName(QStringLiteral("Další obrázek"));
    pageBackArrow->setAccessibleName(QStringLiteral("Předchozí stránka"));
    pageForwardArrow->setAccessibleName(QStringLiteral("Další stránka"));
    exitImage->setAccessibleName(QStringLiteral("Konec"));
    exitLabel->setAccessibleName(QStringLiteral("Konec"));
    pageCounter->setAccessibleName(QStringLiteral("Číslo stránky"));
    pageCounterHeading->setAccessibleName(QStringLiteral("Obrazovka"));
    source_->folderList()->setAccessibleName(QStringLiteral("Složky"));
    source_->fileList()->setAccessibleName(QStringLiteral("Obrázky ve složce"));
    logo->setAccessibleName(QStringLiteral("Velorin, o výrobci"));
    for (int i = 0; i < CellCount; ++i)
        grid_->thumbnail(i)->setAccessibleName(QStringLiteral("Náhled %1").arg(i + 1));
}

void Kalvio::connectHandlers()
{
    connect(grid_, &PageGrid::cellChosen, this, &Kalvio::openCell);
    connect(grid_, &PageGrid::frameNamed, this,
            [this](int cell, const QString& name) { browsing_.frameNames[cell] = name; });
    connect(grid_, &PageGrid::cellDrawn, this, &Kalvio::reopenIfViewed);
    connect(grid_, &PageGrid::pageDrawn, this, &Kalvio::decodeAhead);
    connect(view_, &EnlargedView::closeChosen, this, &Kalvio::closeView);
    connect(view_, &EnlargedView::stepForwardChosen, this, &Kalvio::stepForward);
    connect(view_, &EnlargedView::stepBackChosen, this, &Kalvio::stepBack);
    connect(pageForwardArrow, &ImageControl::clicked, this, &Kalvio::pageForwardArrowClicked);
    connect(pageBackArrow, &ImageControl::clicked, this, &Kalvio::pageBackArrowClicked);
    connect(exitImage, &ImageControl::clicked, this, &Kalvio::exitImageClicked);
    connect(exitLabel, &CaptionLabel::clicked, this, &Kalvio::exitLabelClicked);
    connect(logo, &QPushButton::clicked, this, &Kalvio::logoClicked);
    connect(exitAction, &QAction::triggered, this, &Kalvio::exitChosen);
    connect(new QuitKey(this), &QuitKey::pressed, this, &Kalvio::exitChosen);
    connect(aboutAction, &QAction::triggered, this, &Kalvio::aboutChosen);
    connect(source_, &FolderSource::folderChosen, this, &Kalvio::folderChosen);
    connect(source_, &FolderSource::entryChosen, this, &Kalvio::showPageOf);
    // The frames' first names, now that the model hears them.
    for (int i = 0; i < CellCount; ++i)
        setFrameName(i, QStringLiteral("Okno"));
}

void Kalvio::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    queryUnload(cancel, 0);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // Ended from full screen (Ctrl+Q there), its window goes with this one.
    fullScreen_->hide();
}

// Every frame's name goes through the grid, which tells the model (see
// connectHandlers), so that what is browsed and what the frames show stay one.
void Kalvio::setFrameName(int cell, const QString& name)
{
    grid_->nameFrame(cell, name);
}

// Lists the pictures of the folder chosen; what is browsed takes the new names.
void Kalvio::listFolder()
{
    browsing_.names = source_->listChosenFolder();
    browsing_.folder = source_->folder();
}

// Another folder in the folder list: show it from its first page.
void Kalvio::folderChosen()
{
    closeView();
    listFolder();
    setPageTagsFromList();
}

int Kalvio::pixelsFor(Twips twips) const
{
    return std::max(1, int(std::lround(twips.pixelsF() * devicePixelRatioF())));
}

QString Kalvio::cellPath(const QString& name) const
{
    return FolderService::JoinPath(browsing_.folder, name);
}
