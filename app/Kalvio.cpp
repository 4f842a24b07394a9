#include "Kalvio.h"

#include "FolderService.h"
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
ImageControl* makeImage(const QString& resource, QWidget* parent, double left, double top)
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
    label->Move(place.left(), place.top(), place.width(), place.height());
    label->setCaption(caption);
    return label;
}

QCursor magnifierCursor(const QString& resource)
{
    return QCursor(QPixmap(resource), 6, 6);
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
    setWindowSizeTwips(9915 + Twips::FromPixels(2 * FrameBorderPixels),
                       7740 + Twips::FromPixels(2 * FrameBorderPixels + TitleBarPixels));
}

Kalvio::~Kalvio()
{
    // The window closing as it is destroyed moves the focus once more; that
    // must not reach a window whose own part is already gone.
    disconnect(qApp, &QApplication::focusChanged, this, &Kalvio::markFocusedCell);
}

void Kalvio::setWindowSizeTwips(double width, double height)
{
    width_ = width;
    height_ = height;
    const int clientWidth = Twips::ToPixels(width) - 2 * FrameBorderPixels;
    const int clientHeight = Twips::ToPixels(height) - 2 * FrameBorderPixels - TitleBarPixels;
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
    exitImage = makeImage(QStringLiteral(":/assets/exit-button.gif"), client_, 6480, 360);
    exitLabel =
        makeLabel(client_, 12, WindowColors::ExitLabelText, QRectF(8085, 600, 885, 300), QStringLiteral("Koniec"));
    exitLabel->setAutoSize(true);
    pageBackArrow = makeImage(QStringLiteral(":/assets/prev-page.gif"), client_, 6600, 1560);
    pageForwardArrow = makeImage(QStringLiteral(":/assets/next-page.gif"), client_, 8160, 1560);
    pageCounterHeading =
        makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6915, 2640, 825, 240), QStringLiteral("Stránka"));
    pageCounterHeading->setAutoSize(true);
    pageCounter =
        makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6960, 3000, 735, 255), QStringLiteral("1 z 1"));

    folderList = new FolderList(client_);
    folderList->Move(120, 1200, 2175, 2115);
    fileList = new FileList(client_);
    fileList->Move(120, 3480, 2175, 2430);

    loadBuffer = new PictureBox(client_);
    loadBuffer->Move(720, 240, 135, 135);
    loadBuffer->hide();

    const QPixmap frameFace(QStringLiteral(":/assets/frame-face.bmp"));
    for (int i = 0; i < CellCount; ++i) {
        frames[i] = new FrameButton(frameFace, client_);
        setFrameName(i, QStringLiteral("Okno"));
        thumbnails[i] = new PictureBox(client_);
        thumbnails[i]->setBackColor(WindowColors::ButtonFace);
    }
    // Stacking: frames(0), thumbnails(0), then frames(1..23), then thumbnails(1..23) in front.
    frames[0]->Move(1920, 120, 1215, 975);
    thumbnails[0]->Move(2400, 240, 495, 255);
    thumbnails[0]->setMouseIcon(magnifierCursor(QStringLiteral(":/assets/zoom-in.ico")));
    thumbnails[0]->setMousePointer(MousePointer::Custom);
    thumbnails[0]->stackUnder(frames[1]);
    for (int i = 1; i < CellCount; ++i) {
        frames[i]->Move(i == 23 ? 1320 : 720, i == 23 ? 360 : 240, 975, 495);
        frames[i]->raise();
    }
    for (int i = 1; i < CellCount; ++i) {
        thumbnails[i]->Move(720, 240, 495, 255);
        thumbnails[i]->raise();
    }

    logo = new CommandButton(QPixmap(QStringLiteral(":/assets/logo.gif")), client_);
    logo->Move(120, 6240, 6855, 975);

    enlargedView = new PictureBox(client_);
    enlargedView->setBackColor(WindowColors::ViewBackAtCreation);
    enlargedView->setForeColor(WindowColors::ViewCaptionText);
    enlargedView->setTextFont(boldFont(8.25));
    enlargedView->setMouseIcon(magnifierCursor(QStringLiteral(":/assets/zoom-out.ico")));
    enlargedView->setMousePointer(MousePointer::Custom);
    enlargedView->Move(2880, 2040, 2895, 2655);
    enlargedView->hide();

    stepBackImage = makeImage(QStringLiteral(":/assets/prev-picture.gif"), enlargedView, 0, 1680);
    stepBackImage->setCursor(Qt::ArrowCursor);
    stepForwardImage = makeImage(QStringLiteral(":/assets/next-picture.gif"), enlargedView, 1560, 1680);
    stepForwardImage->setCursor(Qt::ArrowCursor);

    setUpKeyboardFocus();
    nameForScreenReaders();
    folderList->setPath(FolderService::CurrentDirectory());
}

// Keyboard focus starts in the folder list. Tab then goes to the file list,
// the frames and thumbnails (frame 0, thumbnail 0, frames 1 to 23, thumbnails
// 1 to 23), the page arrows, the exit image, the logo, and the enlarged view
// with its stepping images while it is open. The page counter and the labels
// take no focus.
void Kalvio::setUpKeyboardFocus()
{
    folderList->setFocusPolicy(Qt::StrongFocus);
    fileList->setFocusPolicy(Qt::StrongFocus);
    // A click on a thumbnail or the view moves the focus there; a click on a
    // frame, an arrow or the exit image leaves it where it was.
    for (int i = 0; i < CellCount; ++i) {
        frames[i]->setFocusPolicy(Qt::TabFocus);
        thumbnails[i]->setFocusPolicy(Qt::StrongFocus);
    }
    enlargedView->setFocusPolicy(Qt::StrongFocus);
    for (ImageControl* image : {pageBackArrow, pageForwardArrow, exitImage, stepBackImage, stepForwardImage})
        image->setFocusPolicy(Qt::TabFocus);
    // Ordered once every control takes focus: Qt leaves out those that do not.
    QList<QWidget*> chain{folderList, fileList, frames[0], thumbnails[0]};
    for (int i = 1; i < CellCount; ++i)
        chain << frames[i];
    for (int i = 1; i < CellCount; ++i)
        chain << thumbnails[i];
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
        frames[i]->installEventFilter(this);
        thumbnails[i]->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &Kalvio::markFocusedCell);
}

// Names that a screen reader says for the controls.
void Kalvio::nameForScreenReaders()
{
    enlargedView->setAccessibleName(QStringLiteral("Zvětšený obrázek"));
    stepBackImage->setAccessibleName(QStringLiteral("Předchozí obrázek"));
    stepForwardImage->setAccessibleName(QStringLiteral("Další obrázek"));
    pageBackArrow->setAccessibleName(QStringLiteral("Předchozí stránka"));
    pageForwardArrow->setAccessibleName(QStringLiteral("Další stránka"));
    exitImage->setAccessibleName(QStringLiteral("Konec"));
    exitLabel->setAccessibleName(QStringLiteral("Konec"));
    pageCounter->setAccessibleName(QStringLiteral("Číslo stránky"));
    pageCounterHeading->setAccessibleName(QStringLiteral("Obrazovka"));
    folderList->setAccessibleName(QStringLiteral("Složky"));
    fileList->setAccessibleName(QStringLiteral("Obrázky ve složce"));
    logo->setAccessibleName(QStringLiteral("Velorin, o výrobci"));
    for (int i = 0; i < CellCount; ++i)
        thumbnails[i]->setAccessibleName(QStringLiteral("Náhled %1").arg(i + 1));
}

void Kalvio::connectHandlers()
{
    for (int i = 0; i < CellCount; ++i)
        connect(thumbnails[i], &PictureBox::clicked, this, [this, i] { openCell(i); });
    connect(enlargedView, &PictureBox::clicked, this, &Kalvio::closeView);
    connect(stepForwardImage, &ImageControl::clicked, this, &Kalvio::stepForward);
    connect(stepBackImage, &ImageControl::clicked, this, &Kalvio::stepBack);
    connect(pageForwardArrow, &ImageControl::clicked, this, &Kalvio::pageForwardArrowClicked);
    connect(pageBackArrow, &ImageControl::clicked, this, &Kalvio::pageBackArrowClicked);
    connect(exitImage, &ImageControl::clicked, this, &Kalvio::exitImageClicked);
    connect(exitLabel, &CaptionLabel::clicked, this, &Kalvio::exitLabelClicked);
    connect(logo, &QPushButton::clicked, this, &Kalvio::logoClicked);
    connect(exitAction, &QAction::triggered, this, &Kalvio::exitChosen);
    connect(aboutAction, &QAction::triggered, this, &Kalvio::aboutChosen);
    connect(folderList, &FolderList::Change, this, &Kalvio::folderChosen);
    connect(fileList, &FileList::Click, this, &Kalvio::fileChosen);
}

void Kalvio::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    queryUnload(cancel, 0);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

// Every frame's name goes through here, so that what is browsed and what the
// frames show stay one.
void Kalvio::setFrameName(int cell, const QString& name)
{
    browsing_.frameNames[cell] = name;
    frames[cell]->setCaption(name);
}

// Lists the pictures of folder `path` in the file list; what is browsed takes
// the new names.
void Kalvio::listFolder(const QString& path)
{
    fileList->setPath(path);
    browsing_.folder = path;
    browsing_.names = fileList->names();
}

int Kalvio::pixelsFor(double twips) const
{
    return std::max(1, int(std::lround(Twips::ToPixelsF(twips) * devicePixelRatioF())));
}

QString Kalvio::cellPath(const QString& name) const
{
    return FolderService::JoinPath(folderList->Path(), name);
}
