#include "PageGrid.h"

#include "EventYield.h"
#include "FocusEdge.h"
#include "FolderService.h"
#include "FrameButton.h"
#include "MousePointer.h"
#include "NativeName.h"
#include "PictureBox.h"
#include "Twips.h"
#include "WindowColors.h"
#include "WindowRules.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

PageGrid::PageGrid(Browsing& browsing, Pictures::Pipeline& pictures, QWidget* parent)
    : QObject(parent), browsing_(browsing), pictures_(pictures), parent_(parent)
{
    loadBuffer_ = new PictureBox(parent);
    loadBuffer_->setObjectName(QStringLiteral("loadBuffer"));
    loadBuffer_->Move(720_tw, 240_tw, 135_tw, 135_tw);
    loadBuffer_->hide();

    const QPixmap frameFace(QStringLiteral(":/assets/frame-face.bmp"));
    for (int i = 0; i < CellCount; ++i) {
        frames_[i] = new FrameButton(frameFace, parent);
        thumbnails_[i] = new PictureBox(parent);
        thumbnails_[i]->setBackColor(WindowColors::ButtonFace);
    }
    // Stacking: frames(0), thumbnails(0), then frames(1..23), then thumbnails(1..23) in front.
    frames_[0]->Move(1920_tw, 120_tw, 1215_tw, 975_tw);
    thumbnails_[0]->Move(2400_tw, 240_tw, 495_tw, 255_tw);
    thumbnails_[0]->setMouseIcon(QCursor(QPixmap(QStringLiteral(":/assets/zoom-in.ico")), 6, 6));
    thumbnails_[0]->setMousePointer(MousePointer::Custom);
    thumbnails_[0]->stackUnder(frames_[1]);
    for (int i = 1; i < CellCount; ++i) {
        frames_[i]->Move(i == 23 ? 1320_tw : 720_tw, i == 23 ? 360_tw : 240_tw, 975_tw, 495_tw);
        frames_[i]->raise();
    }
    for (int i = 1; i < CellCount; ++i) {
        thumbnails_[i]->Move(720_tw, 240_tw, 495_tw, 255_tw);
        thumbnails_[i]->raise();
    }
    for (int i = 0; i < CellCount; ++i) {
        frames_[i]->setObjectName(QStringLiteral("frame%1").arg(i));
        thumbnails_[i]->setObjectName(QStringLiteral("thumbnail%1").arg(i));
        thumbnails_[i]->setAccessibleName(QStringLiteral("Náhled %1").arg(i + 1));
        // A click on a thumbnail moves the focus there; a click on a frame leaves it where it was.
        frames_[i]->setFocusPolicy(Qt::TabFocus);
        thumbnails_[i]->setFocusPolicy(Qt::StrongFocus);
        frames_[i]->installEventFilter(this);
        thumbnails_[i]->installEventFilter(this);
        thumbnails_[i]->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(thumbnails_[i], &PictureBox::clicked, this, [this, i] { emit cellChosen(i); });
        connect(thumbnails_[i], &QWidget::customContextMenuRequested, this,
                [this, i](QPoint at) { emit contextMenuAsked(i, thumbnails_[i]->mapToGlobal(at)); });
    }
    // What each frame shows is what is browsed; the frames draw it.
    browsing_.observe([this](Browsing::Change change, int cell) {
        if (change == Browsing::Change::ShownName)
            frames_[cell]->setCaption(browsing_.shownName(cell));
    });
    focusEdge_ = new FocusEdge(
        parent, [this](const QObject* control) { return cellOf(control); },
        [this](int cell, bool edge) {
            frames_[cell]->setEdgeColor(edge ? std::optional(WindowColors::FocusEdge) : std::nullopt);
        },
        this);
}

int PageGrid::cellOf(const QObject* control) const
{
    for (int i = 0; i < CellCount; ++i) {
        if (control == thumbnails_[i] || control == frames_[i])
            return i;
    }
    return -1;
}

// Every frame's name is written into what is browsed, which the frames draw.
void PageGrid::nameFrame(int cell, const QString& name)
{
    browsing_.setShownName(cell, name);
}

void PageGrid::placeCells(const std::array<TwipsRect, CellCount>& frames, const std::array<TwipsRect, CellCount>& boxes)
{
    boxWidth_ = boxes[0].width;
    for (int i = 0; i < CellCount; ++i) {
        frames_[i]->Move(frames[i]);
        frames_[i]->setVisible(true);
        frames_[i]->setBackColor(WindowColors::FrameNormal);
        thumbnails_[i]->Move(boxes[i]);
        thumbnails_[i]->setMouseIcon(thumbnails_[0]->MouseIcon());
        thumbnails_[i]->setMousePointer(thumbnails_[0]->mousePointer());
    }
}

// Counts with its own index: a call from inside a drawing pass leaves the
// pass where it was.
void PageGrid::setLook(int frameColor, bool enabled)
{
    for (int i = 0; i < CellCount; ++i) {
        frames_[i]->setBackColor(frameColor);
        frames_[i]->setEnabled(enabled);
        thumbnails_[i]->setEnabled(enabled);
    }
}

void PageGrid::setWhyNoPicture(int cell, const QString& why)
{
    thumbnails_[cell]->setToolTip(why);
}

void PageGrid::cutShortPass(Clearing clearing)
{
    const int reached = passCell_.value_or(-1);
    if (reached <= 0)
        return;
    endPass();
    for (int i = reached; i < CellCount; ++i) {
        thumbnails_[i]->ClearPicture();
        thumbnails_[i]->setToolTip(QString());
        if (clearing != Clearing::Picture)
            nameFrame(i, QString());
        if (clearing == Clearing::PictureCaptionAndPointer)
            thumbnails_[i]->setMousePointer(MousePointer::Arrow);
    }
}

// The cells a running pass has not reached lose their names, so that they
// cannot be opened before the pass has drawn them; the cell the pass is at
// keeps its name. A pass at cell 0 has only just begun and blanks nothing.
void PageGrid::blankNamesAhead()
{
    const int reached = passCell_.value_or(-1);
    if (reached > 0) {
        for (int i = reached + 1; i < CellCount; ++i)
            nameFrame(i, QString());
    }
}

// Draws page `page` cell by cell. Pending events run before every cell, so
// the window stays responsive and a newer page request can take over: a
// request moves the pass generation on, and the interrupted pass then ends
// without touching another cell.
//
// A page request that arrives while a pass yields does not start a pass
// inside that yield: it ends the running pass and is drawn as soon as the
// stack has unwound to the pass that was running, so however fast the
// requests come, at most one pass is ever on the stack. Events that run
// before the new pass starts see the state a new pass has at its first cell.
void PageGrid::show(int page)
{
    requestedPage_ = page;
    if (browsing_.pages() == 0) {
        // No yield and no picture to wait for: done at once, and any pass
        // still waiting to be drawn is superseded.
        passPending_ = false;
        showEmptyPage();
        return;
    }
    if (passRunning_) {
        passCell_ = 0;
        endPass();
        passPending_ = true;
        return;
    }
    const QScopedValueRollback running(passRunning_, true);
    PassEnd end = PassEnd::Completed;
    do {
        passPending_ = false;
        end = drawPage(requestedPage_);
    } while (end == PassEnd::Interrupted && passPending_);
}

// An empty folder: every cell empty, named with its number.
void PageGrid::showEmptyPage()
{
    endPass();
    for (int i = 0; i < CellCount; ++i) {
        thumbnails_[i]->ClearPicture();
        thumbnails_[i]->setToolTip(QString());
        nameFrame(i, QString::number(i));
        thumbnails_[i]->setMousePointer(MousePointer::Arrow);
    }
}

// One pass over the 24 cells of page `page`. Its pictures are asked for at
// once, in cell order, and decoded on every core while the pass goes from
// cell to cell; at each cell it draws the picture as soon as it is there,
// letting events run while it waits.
PageGrid::PassEnd PageGrid::drawPage(int page)
{
    thumbnailPaths_.Forget();
    const CellRequests requests = cellRequests(page);
    std::vector<Pictures::Request> asked;
    for (const std::optional<Pictures::Request>& request : requests) {
        if (request)
            asked.push_back(*request);
    }
    pictures_.submit(asked);
    const int generation = ++passGeneration_;
    // After events ran: the window was closed, or a newer request superseded the pass.
    const auto ended = [this, generation]() -> std::optional<PassEnd> {
        if (openWindowCount_ == 0)
            return PassEnd::Closed;
        if (passGeneration_ != generation) {
            passCell_ = -1;
            return PassEnd::Interrupted;
        }
        return std::nullopt;
    };
    for (int i = 0; i < CellCount; ++i) {
        passCell_ = i;
        openWindowCount_ = EventYield::DoEvents();
        if (const std::optional<PassEnd> end = ended())
            return *end;

        if (i < CellCount - 1)
            printWaitText(i + 1);
        const int entry = Browsing::entryOf(page, i);
        nameFrame(i, browsing_.nameAt(entry));
        thumbnails_[i]->setMousePointer(MousePointer::Custom);
        std::optional<Pictures::Result> picture;
        if (requests[i]) {
            picture = waitForPicture(*requests[i], generation);
            if (const std::optional<PassEnd> end = ended())
                return *end;
        }
        drawIntoCell(i, picture);
        emit cellDrawn(i, entry);
    }
    passCell_ = -1;
    emit pageDrawn();
    return PassEnd::Completed;
}

void PageGrid::printWaitText(int cell)
{
    PictureBox* box = thumbnails_[cell];
    box->Cls();
    box->setFontSize(8);
    box->setFontBold(true);
    box->Print(QStringLiteral("\r\n\r\n") + waitText_);
}

// Waits for the picture of a cell, letting events run; nothing when the pass
// ended meanwhile (the window closed, or a newer request superseded the pass).
std::optional<Pictures::Result> PageGrid::waitForPicture(const Pictures::Request& request, int generation)
{
    for (;;) {
        if (std::optional<Pictures::Result> picture = pictures_.tryGet(request))
            return picture;
        openWindowCount_ = EventYield::WaitForEvents();
        if (openWindowCount_ == 0 || passGeneration_ != generation)
            return std::nullopt;
    }
}

namespace {

// A box's width in the screen's own pixels: pictures are decoded for it.
int boxPixels(Twips width, qreal devicePixelRatio)
{
    return std::max(1, int(std::lround(width.pixelsF() * devicePixelRatio)));
}

// What a cell showing picture `name` of `folder` asks for: its small copy in
// THM for a name that begins with "R" (found whatever the letter case of THM
// and its name), else, or when that fails, the picture itself, decoded for
// the cell.
Pictures::Request cellRequest(const QString& folder, const QString& name, int boxPixels,
                              CaseInsensitivePaths& thumbnailPaths)
{
    const QString copy = WindowRules::ThumbnailName(name);
    const QString thumbnail = copy == name ? name : thumbnailPaths.Resolve(folder, copy);
    // Every picture is drawn with its longer side as wide as the cell.
    Pictures::Request request{{NativeName::Encode(FolderService::JoinPath(folder, thumbnail))},
                              Pictures::SquareBox(boxPixels),
                              Pictures::Purpose::Thumbnail};
    // A name without a small copy is its own thumbnail name: opened once.
    if (thumbnail != name)
        request.candidates.push_back(NativeName::Encode(FolderService::JoinPath(folder, name)));
    return request;
}

} // namespace

Pictures::Request PageGrid::thumbnailRequest(const QString& name) const
{
    return cellRequest(browsing_.folder(), name, pixelsFor(boxWidth_), thumbnailPaths_);
}

std::vector<Pictures::Request> PageGrid::FirstPageRequests(const QString& folder, const QStringList& names,
                                                           Twips boxWidth, qreal devicePixelRatio)
{
    CaseInsensitivePaths thumbnailPaths;
    std::vector<Pictures::Request> requests;
    for (const QString& name : names.mid(0, CellCount))
        requests.push_back(cellRequest(folder, name, boxPixels(boxWidth, devicePixelRatio), thumbnailPaths));
    return requests;
}

// What each cell of page `page` asks for: nothing for a cell past the end of the list.
PageGrid::CellRequests PageGrid::cellRequests(int page) const
{
    CellRequests requests;
    for (int i = 0; i < CellCount; ++i) {
        if (const QString name = browsing_.nameAt(Browsing::entryOf(page, i)); !name.isEmpty())
            requests[i] = thumbnailRequest(name);
    }
    return requests;
}

std::vector<Pictures::Request> PageGrid::requestsFor(int page) const
{
    std::vector<Pictures::Request> asked;
    for (const std::optional<Pictures::Request>& request : cellRequests(page)) {
        if (request)
            asked.push_back(*request);
    }
    return asked;
}

// Draws what the pipeline gave for a cell to fit the cell, or leaves the cell
// empty with the arrow pointer, and says why in its tooltip. The load buffer
// keeps the picture drawn last.
void PageGrid::drawIntoCell(int cell, const std::optional<Pictures::Result>& picture)
{
    PictureBox* box = thumbnails_[cell];
    box->setToolTip(WindowRules::WhyNoPicture(picture ? picture->decoded.failure : Pictures::Failure::None));
    if (!picture || !picture->decoded) {
        box->ClearPicture();
        box->setMousePointer(MousePointer::Arrow);
        return;
    }
    const Pictures::Picture& shown = *picture->decoded.picture;
    loadBuffer_->setLoadedPicture(shown);
    // Every cell is drawn at the size of box 0, whatever its own.
    const QRectF drawn = WindowRules::FitPicture(
        shown.fileSize, QSizeF(thumbnails_[0]->Width().value(), thumbnails_[0]->Height().value()),
        WindowRules::Fit::WholeTwips);
    box->ClearPicture();
    box->PaintPicture(shown.image, Twips(drawn.x()), Twips(drawn.y()), Twips(drawn.width()), Twips(drawn.height()));
    box->Refresh();
}

int PageGrid::pixelsFor(Twips twips) const
{
    return boxPixels(twips, parent_->devicePixelRatioF());
}

int PageGrid::focusedCell() const
{
    return cellOf(parent_->window()->focusWidget());
}

void PageGrid::focusCell(int cell, Qt::FocusReason reason)
{
    thumbnails_[cell]->setFocus(reason);
}

void PageGrid::moveFocus(int by)
{
    focusCell(Browsing::cellAfterArrow(focusedCell(), by), Qt::TabFocusReason);
    focusEdge_->show(true); // also where the focus stays, at the grid's edges
}

void PageGrid::hideFocusEdge()
{
    focusEdge_->show(false);
}

QWidget* PageGrid::chainTabOrder(QWidget* previous)
{
    QList<QWidget*> chain{frames_[0], thumbnails_[0]};
    for (int i = 1; i < CellCount; ++i)
        chain << frames_[i];
    for (int i = 1; i < CellCount; ++i)
        chain << thumbnails_[i];
    if (previous)
        QWidget::setTabOrder(previous, chain.front());
    for (qsizetype k = 0; k + 1 < chain.size(); ++k)
        QWidget::setTabOrder(chain[k], chain[k + 1]);
    return chain.back();
}

bool PageGrid::isUnder(QPoint global) const
{
    const QPoint at = parent_->mapFromGlobal(global);
    return frames_[0]->geometry().united(frames_[CellCount - 1]->geometry()).contains(at);
}

// A key on a frame or a box is the window's to handle first.
bool PageGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && keyHandler_ &&
        keyHandler_(cellOf(watched), *static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
