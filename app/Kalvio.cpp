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

// The window's own bold face; a sans-serif of the same size and weight stands
// in where the classic one is missing.
QFont boldFont(double points)
{
    QFont font(QStringLiteral("MS Sans Serif"));
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

Kalvio::Kalvio(QWidget* parent) : QMainWindow(parent)
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
    File = menuBar()->addMenu(QStringLiteral("&Soubor"));
    OpenFolder = File->addAction(QStringLiteral("&Otevřít…"));
    OpenFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Konec = File->addAction(QStringLiteral("&Konec"));
    // Ctrl+Q by name: the standard "Quit" binding is empty on some desktops.
    Konec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Pomoc = menuBar()->addMenu(QStringLiteral("&Pomoc"));
    Autor = Pomoc->addAction(QStringLiteral("&O Aplikaci"));
}

void Kalvio::createControls()
{
    // Created from back to front: a later sibling lies in front of an earlier
    // one. Images and labels come first, as they are drawn on the window's
    // surface behind every control that has a window of its own.
    Koniec = makeImage(QStringLiteral(":/assets/exit-button.gif"), client_, 6480, 360);
    KoniecLabel =
        makeLabel(client_, 12, WindowColors::ExitLabelText, QRectF(8085, 600, 885, 300), QStringLiteral("Koniec"));
    KoniecLabel->setAutoSize(true);
    Nazad = makeImage(QStringLiteral(":/assets/prev-page.gif"), client_, 6600, 1560);
    Vpred = makeImage(QStringLiteral(":/assets/next-page.gif"), client_, 8160, 1560);
    StranaText =
        makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6915, 2640, 825, 240), QStringLiteral("Stránka"));
    StranaText->setAutoSize(true);
    Strana = makeLabel(client_, 9.75, WindowColors::CounterText, QRectF(6960, 3000, 735, 255), QStringLiteral("1 z 1"));

    Dir1 = new FolderList(client_);
    Dir1->Move(120, 1200, 2175, 2115);
    File1 = new FileList(client_);
    File1->Move(120, 3480, 2175, 2430);

    Vstup = new PictureBox(client_);
    Vstup->Move(720, 240, 135, 135);
    Vstup->hide();

    const QPixmap frameFace(QStringLiteral(":/assets/frame-face.bmp"));
    for (int i = 0; i < CellCount; ++i) {
        Okno[i] = new FrameButton(frameFace, client_);
        Okno[i]->setCaption(QStringLiteral("Okno"));
        Obr[i] = new PictureBox(client_);
        Obr[i]->setBackColor(WindowColors::ButtonFace);
    }
    // Stacking: Okno(0), Obr(0), then Okno(1..23), then Obr(1..23) in front.
    Okno[0]->Move(1920, 120, 1215, 975);
    Obr[0]->Move(2400, 240, 495, 255);
    Obr[0]->setMouseIcon(magnifierCursor(QStringLiteral(":/assets/zoom-in.ico")));
    Obr[0]->setMousePointer(MousePointer::Custom);
    Obr[0]->stackUnder(Okno[1]);
    for (int i = 1; i < CellCount; ++i) {
        Okno[i]->Move(i == 23 ? 1320 : 720, i == 23 ? 360 : 240, 975, 495);
        Okno[i]->raise();
    }
    for (int i = 1; i < CellCount; ++i) {
        Obr[i]->Move(720, 240, 495, 255);
        Obr[i]->raise();
    }

    Logo = new CommandButton(QPixmap(QStringLiteral(":/assets/logo.gif")), client_);
    Logo->Move(120, 6240, 6855, 975);

    ZoomOkno = new PictureBox(client_);
    ZoomOkno->setBackColor(WindowColors::ViewBackAtCreation);
    ZoomOkno->setForeColor(WindowColors::ViewCaptionText);
    ZoomOkno->setTextFont(boldFont(8.25));
    ZoomOkno->setMouseIcon(magnifierCursor(QStringLiteral(":/assets/zoom-out.ico")));
    ZoomOkno->setMousePointer(MousePointer::Custom);
    ZoomOkno->Move(2880, 2040, 2895, 2655);
    ZoomOkno->hide();

    LupaMinus = makeImage(QStringLiteral(":/assets/prev-picture.gif"), ZoomOkno, 0, 1680);
    LupaMinus->setCursor(Qt::ArrowCursor);
    LupaPlus = makeImage(QStringLiteral(":/assets/next-picture.gif"), ZoomOkno, 1560, 1680);
    LupaPlus->setCursor(Qt::ArrowCursor);

    setUpKeyboardFocus();
    nameForScreenReaders();
    Dir1->setPath(FolderService::CurrentDirectory());
}

// Keyboard focus starts in the folder list. Tab then goes to the file list,
// the frames and thumbnails (frame 0, thumbnail 0, frames 1 to 23, thumbnails
// 1 to 23), the page arrows, the exit image, the logo, and the enlarged view
// with its stepping images while it is open. The page counter and the labels
// take no focus.
void Kalvio::setUpKeyboardFocus()
{
    Dir1->setFocusPolicy(Qt::StrongFocus);
    File1->setFocusPolicy(Qt::StrongFocus);
    // A click on a thumbnail or the view moves the focus there; a click on a
    // frame, an arrow or the exit image leaves it where it was.
    for (int i = 0; i < CellCount; ++i) {
        Okno[i]->setFocusPolicy(Qt::TabFocus);
        Obr[i]->setFocusPolicy(Qt::StrongFocus);
    }
    ZoomOkno->setFocusPolicy(Qt::StrongFocus);
    for (ImageControl* image : {Nazad, Vpred, Koniec, LupaMinus, LupaPlus})
        image->setFocusPolicy(Qt::TabFocus);
    // Ordered once every control takes focus: Qt leaves out those that do not.
    QList<QWidget*> chain{Dir1, File1, Okno[0], Obr[0]};
    for (int i = 1; i < CellCount; ++i)
        chain << Okno[i];
    for (int i = 1; i < CellCount; ++i)
        chain << Obr[i];
    chain << Nazad << Vpred << Koniec << Logo << ZoomOkno << LupaMinus << LupaPlus;
    for (qsizetype k = 0; k + 1 < chain.size(); ++k)
        setTabOrder(chain[k], chain[k + 1]);
    Dir1->setFocus();

    // The grid's and the view's keys and the wheel are the window's (see KeysAndWheel.cpp).
    for (QWidget* control :
         std::initializer_list<QWidget*>{client_, ZoomOkno, LupaMinus, LupaPlus, Nazad, Vpred, Koniec})
        control->installEventFilter(this);
    for (int i = 0; i < CellCount; ++i) {
        Okno[i]->installEventFilter(this);
        Obr[i]->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &Kalvio::markFocusedCell);
}

// Names that a screen reader says for the controls.
void Kalvio::nameForScreenReaders()
{
    ZoomOkno->setAccessibleName(QStringLiteral("Zvětšený obrázek"));
    LupaMinus->setAccessibleName(QStringLiteral("Předchozí obrázek"));
    LupaPlus->setAccessibleName(QStringLiteral("Další obrázek"));
    Nazad->setAccessibleName(QStringLiteral("Předchozí stránka"));
    Vpred->setAccessibleName(QStringLiteral("Další stránka"));
    Koniec->setAccessibleName(QStringLiteral("Konec"));
    KoniecLabel->setAccessibleName(QStringLiteral("Konec"));
    Strana->setAccessibleName(QStringLiteral("Číslo stránky"));
    StranaText->setAccessibleName(QStringLiteral("Obrazovka"));
    Dir1->setAccessibleName(QStringLiteral("Složky"));
    File1->setAccessibleName(QStringLiteral("Obrázky ve složce"));
    Logo->setAccessibleName(QStringLiteral("Velorin, o výrobci"));
    for (int i = 0; i < CellCount; ++i)
        Obr[i]->setAccessibleName(QStringLiteral("Náhled %1").arg(i + 1));
}

void Kalvio::connectHandlers()
{
    for (int i = 0; i < CellCount; ++i)
        connect(Obr[i], &PictureBox::clicked, this, [this, i] { Obr_Click(i); });
    connect(ZoomOkno, &PictureBox::clicked, this, &Kalvio::ZoomOkno_Click);
    connect(LupaPlus, &ImageControl::clicked, this, &Kalvio::LupaPlus_Click);
    connect(LupaMinus, &ImageControl::clicked, this, &Kalvio::LupaMinus_Click);
    connect(Vpred, &ImageControl::clicked, this, &Kalvio::Vpred_Click);
    connect(Nazad, &ImageControl::clicked, this, &Kalvio::Nazad_Click);
    connect(Koniec, &ImageControl::clicked, this, &Kalvio::Koniec_Click);
    connect(KoniecLabel, &CaptionLabel::clicked, this, &Kalvio::KoniecLabel_Click);
    connect(Logo, &QPushButton::clicked, this, &Kalvio::Logo_Click);
    connect(Konec, &QAction::triggered, this, &Kalvio::Konec_Click);
    connect(Autor, &QAction::triggered, this, &Kalvio::Autor_Click);
    connect(Dir1, &FolderList::Change, this, &Kalvio::Dir1_Change);
    connect(File1, &FileList::Click, this, &Kalvio::File1_Click);
}

void Kalvio::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

int Kalvio::pixelsFor(double twips) const
{
    return std::max(1, int(std::lround(Twips::ToPixelsF(twips) * devicePixelRatioF())));
}

QString Kalvio::cellPath(const QString& name) const
{
    return FolderService::JoinPath(Dir1->Path(), name);
}
