#include "Kalvio.h"

#include "CaptionLabel.h"
#include "CommandButton.h"
#include "EnlargedView.h"
#include "FolderService.h"
#include "FolderSource.h"
#include "FullScreenView.h"
#include "ImageControl.h"
#include "PageGrid.h"
#include "QuitKey.h"
#include "StartupLog.h"
#include "Twips.h"
#include "WindowColors.h"
#include "WindowLayout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>

namespace {

// Window frame and title bar are drawn by the window manager outside the
// widget; the outer size that the window is given allows for them with the
// sizes of a classic desktop frame.
constexpr int FrameBorderPixels = 4;
constexpr int TitleBarPixels = 18;

// The cores the start keeps busy until the window has painted: the window's
// own thread, and the display server with the threads that read the fonts
// and the start folder ahead. On 2 cores, decoding the first page meanwhile
// put the first paint off (by 20 ms; by 3 ms on one worker) and brought the
// page no sooner.
constexpr int CoresForTheStart = 2;

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
ImageControl* makeImage(const QString& name, const QString& resource, QWidget* parent, Twips left, Twips top)
{
    auto* image = new ImageControl(QPixmap(resource), parent);
    image->setObjectName(name);
    image->Move(left, top, image->Width(), image->Height());
    return image;
}

// A label in the window's bold face; the caption is set after the place, so
// that a label that sizes itself takes the caption's size.
CaptionLabel* makeLabel(const QString& name, QWidget* parent, double points, int color, const QRectF& place,
                        const QString& caption)
{
    auto* label = new CaptionLabel(parent);
    label->setObjectName(name);
    label->setLabelFont(boldFont(points));
    label->setTextColor(color);
    label->Move(Twips(place.left()), Twips(place.top()), Twips(place.width()), Twips(place.height()));
    label->setCaption(caption);
    return label;
}

} // namespace

Kalvio::Kalvio(QWidget* parent) : Kalvio(Pictures::Pipeline::Options(), parent) {}

Kalvio::Kalvio(Pictures::Pipeline::Options pictures, QWidget* parent) : Kalvio(std::move(pictures), QString(), parent)
{
}

Kalvio::Kalvio(Pictures::Pipeline::Options pictures, const QString& fullScreenPath, QWidget* parent)
    : Kalvio(std::move(pictures), fullScreenPath, StartListing(), parent)
{
}

Kalvio::Kalvio(Pictures::Pipeline::Options pictures, const QString& fullScreenPath, StartListing listing,
               QWidget* parent)
    : QMainWindow(parent), pictures_(std::move(pictures))
{
    // The picture goes first: its decode runs while everything else is set up.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && !fullScreenPath.isEmpty()) {
        firstPicture_ = FullScreenView::ScreenRequest(
            fullScreenPath, (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize());
        pictures_.tryGet(*firstPicture_);
    } else if (screen && listing.isReady() && pictures_.workerCount() > CoresForTheStart) {
        // Likewise the first page, when its folder is listed by now (it is
        // not waited for: a long search waits until the window shows), on
        // the cores the start leaves free until the window has painted.
        const StartListing::Listed& ahead = listing.listed();
        pictures_.setDecodingWorkers(pictures_.workerCount() - CoresForTheStart);
        pictures_.submit(PageGrid::FirstPageRequests(
            ahead.folder, ahead.names, WindowLayout::arrange({}).thumbnails[0].width, screen->devicePixelRatio()));
    }
    Q_INIT_RESOURCE(resources);
    setWindowTitle(QStringLiteral("Kalvio ver 1.0"));
    client_ = new QWidget(this);
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);
    setBackColor(WindowColors::InactiveBorder);
    createMenus();
    createControls();
    source_->setStartListing(std::move(listing));
    connectHandlers();
    connectFullScreen();
    // The client area before the layout runs.
    setWindowSizeTwips(9915_tw + Twips::fromPixels(2 * FrameBorderPixels),
                       7740_tw + Twips::fromPixels(2 * FrameBorderPixels + TitleBarPixels));
}

Kalvio::~Kalvio() = default;

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
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&Soubor"));
    openAction_ = fileMenu_->addAction(QStringLiteral("&Otevřít…"));
    openAction_->setObjectName(QStringLiteral("openAction"));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    exitAction_ = fileMenu_->addAction(QStringLiteral("&Konec"));
    exitAction_->setObjectName(QStringLiteral("exitAction"));
    // Ctrl+Q by name: the standard "Quit" binding is empty on some desktops.
    exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Pomoc"));
    aboutAction_ = helpMenu_->addAction(QStringLiteral("&O Aplikaci"));
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
}

void Kalvio::createControls()
{
    // Created from back to front: a later sibling lies in front of an earlier
    // one. Images and labels come first, as they are drawn on the window's
    // surface behind every control that has a window of its own.
    exitImage_ =
        makeImage(QStringLiteral("exitImage"), QStringLiteral(":/assets/exit-button.gif"), client_, 6480_tw, 360_tw);
    exitLabel_ = makeLabel(QStringLiteral("exitLabel"), client_, 12, WindowColors::ExitLabelText,
                           QRectF(8085, 600, 885, 300), QStringLiteral("Koniec"));
    exitLabel_->setAutoSize(true);
    pageBackArrow_ =
        makeImage(QStringLiteral("pageBackArrow"), QStringLiteral(":/assets/prev-page.gif"), client_, 6600_tw, 1560_tw);
    pageForwardArrow_ = makeImage(QStringLiteral("pageForwardArrow"), QStringLiteral(":/assets/next-page.gif"), client_,
                                  8160_tw, 1560_tw);
    pageCounterHeading_ = makeLabel(QStringLiteral("pageCounterHeading"), client_, 9.75, WindowColors::CounterText,
                                    QRectF(6915, 2640, 825, 240), QStringLiteral("Stránka"));
    pageCounterHeading_->setAutoSize(true);
    pageCounter_ = makeLabel(QStringLiteral("pageCounter"), client_, 9.75, WindowColors::CounterText,
                             QRectF(6960, 3000, 735, 255), QStringLiteral("1 z 1"));

    source_ = new FolderSource(client_);
    grid_ = new PageGrid(browsing_, pictures_, client_);

    logo_ = new CommandButton(QPixmap(QStringLiteral(":/assets/logo.gif")), client_);
    logo_->setObjectName(QStringLiteral("logo"));
    logo_->Move(120_tw, 6240_tw, 6855_tw, 975_tw);

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
    // A click on an arrow or the exit image leaves the focus where it was.
    for (ImageControl* image : {pageBackArrow_, pageForwardArrow_, exitImage_})
        image->setFocusPolicy(Qt::TabFocus);
    // Ordered once every control takes focus: Qt leaves out those that do not.
    QWidget* last = grid_->chainTabOrder(source_->chainTabOrder(nullptr));
    for (QWidget* control : std::initializer_list<QWidget*>{pageBackArrow_, pageForwardArrow_, exitImage_, logo_}) {
        setTabOrder(last, control);
        last = control;
    }
    view_->chainTabOrder(last);
    source_->takeFocus();

    // The window's own controls and its client area: their keys and the
    // wheel (see KeysAndWheel.cpp); the parts hand theirs over.
    for (QWidget* control : std::initializer_list<QWidget*>{client_, pageBackArrow_, pageForwardArrow_, exitImage_})
        control->installEventFilter(this);
    grid_->setKeyHandler([this](int cell, const QKeyEvent& key) { return handleKey(cell, key); });
    view_->setKeyHandler([this](const QKeyEvent& key) { return handleKey(-1, key, true); });
}

// Names that a screen reader says for the window's own controls; the parts
// name theirs.
void Kalvio::nameForScreenReaders()
{
    pageBackArrow_->setAccessibleName(QStringLiteral("Předchozí stránka"));
    pageForwardArrow_->setAccessibleName(QStringLiteral("Další stránka"));
    exitImage_->setAccessibleName(QStringLiteral("Konec"));
    exitLabel_->setAccessibleName(QStringLiteral("Konec"));
    pageCounter_->setAccessibleName(QStringLiteral("Číslo stránky"));
    pageCounterHeading_->setAccessibleName(QStringLiteral("Obrazovka"));
    logo_->setAccessibleName(QStringLiteral("Velorin, o výrobci"));
}

void Kalvio::connectHandlers()
{
    browsing_.observe([this](Browsing::Change change, int) { drawWhatChanges(change); });
    connect(grid_, &PageGrid::cellChosen, this, &Kalvio::openCell);
    connect(grid_, &PageGrid::cellDrawn, this, &Kalvio::reopenIfViewed);
    connect(grid_, &PageGrid::pageDrawn, this, &Kalvio::decodeAhead);
    connect(
        grid_, &PageGrid::pageDrawn, this, [] { qCDebug(startupLog, "first page drawn"); }, Qt::SingleShotConnection);
    connect(view_, &EnlargedView::closeChosen, this, &Kalvio::closeView);
    connect(view_, &EnlargedView::stepForwardChosen, this, &Kalvio::stepForward);
    connect(view_, &EnlargedView::stepBackChosen, this, &Kalvio::stepBack);
    connect(pageForwardArrow_, &ImageControl::clicked, this, &Kalvio::pageForwardArrowClicked);
    connect(pageBackArrow_, &ImageControl::clicked, this, &Kalvio::pageBackArrowClicked);
    connect(exitImage_, &ImageControl::clicked, this, &Kalvio::exitImageClicked);
    connect(exitLabel_, &CaptionLabel::clicked, this, &Kalvio::exitLabelClicked);
    connect(logo_, &QPushButton::clicked, this, &Kalvio::logoClicked);
    connect(exitAction_, &QAction::triggered, this, &Kalvio::exitChosen);
    connect(new QuitKey(this), &QuitKey::pressed, this, &Kalvio::exitChosen);
    connect(aboutAction_, &QAction::triggered, this, &Kalvio::aboutChosen);
    connect(source_, &FolderSource::listed, this, &Kalvio::folderListed);
    connect(source_, &FolderSource::entryChosen, this, &Kalvio::showPageOf);
    // The frames' first names.
    for (int i = 0; i < CellCount; ++i)
        browsing_.setShownName(i, QStringLiteral("Okno"));
}

// The arrows decided in what is browsed are shown as decided.
void Kalvio::drawWhatChanges(Browsing::Change change)
{
    switch (change) {
    case Browsing::Change::PageArrows:
        pageBackArrow_->setVisible(browsing_.pageArrows().back);
        pageForwardArrow_->setVisible(browsing_.pageArrows().forward);
        break;
    case Browsing::Change::ViewSteps:
        view_->setSteps(browsing_.viewSteps().back, browsing_.viewSteps().forward);
        break;
    default:
        break;
    }
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

// A folder listed (at start, chosen in the folder list, opened or dropped):
// shown from its first page, or from the page of the picture to open.
void Kalvio::folderListed(const QString& folder, const QStringList& names, int startEntry)
{
    closeView();
    browsing_.setListing(folder, names);
    setPageTagsFromList(startEntry);
}

int Kalvio::pixelsFor(Twips twips) const
{
    return std::max(1, int(std::lround(twips.pixelsF() * devicePixelRatioF())));
}

QString Kalvio::cellPath(const QString& name) const
{
    return FolderService::JoinPath(browsing_.folder(), name);
}
