#include "EnlargedView.h"

#include "ImageControl.h"
#include "MousePointer.h"
#include "PictureBox.h"
#include "ShownText.h"
#include "WindowColors.h"
#include "WindowRules.h"

#include <QKeyEvent>

namespace {

constexpr int CaptionCharacters = 80;
constexpr Twips CaptionAboveBottom = 300_tw;

ImageControl* makeImage(const QString& resource, QWidget* parent, Twips left, Twips top)
{
    auto* image = new ImageControl(QPixmap(resource), parent);
    image->Move(left, top, image->Width(), image->Height());
    image->setCursor(Qt::ArrowCursor);
    return image;
}

} // namespace

EnlargedView::EnlargedView(const QFont& captionFont, QWidget* parent) : QObject(parent)
{
    box_ = new PictureBox(parent);
    box_->setBackColor(WindowColors::ViewBackAtCreation);
    box_->setForeColor(WindowColors::ViewCaptionText);
    box_->setTextFont(captionFont);
    box_->setMouseIcon(QCursor(QPixmap(QStringLiteral(":/assets/zoom-out.ico")), 6, 6));
    box_->setMousePointer(MousePointer::Custom);
    box_->Move(2880_tw, 2040_tw, 2895_tw, 2655_tw);
    box_->hide();

    stepBackImage_ = makeImage(QStringLiteral(":/assets/prev-picture.gif"), box_, 0_tw, 1680_tw);
    stepForwardImage_ = makeImage(QStringLiteral(":/assets/next-picture.gif"), box_, 1560_tw, 1680_tw);

    box_->setObjectName(QStringLiteral("enlargedView"));
    stepBackImage_->setObjectName(QStringLiteral("stepBackImage"));
    stepForwardImage_->setObjectName(QStringLiteral("stepForwardImage"));
    box_->setAccessibleName(QStringLiteral("Zvětšený obrázek"));
    stepBackImage_->setAccessibleName(QStringLiteral("Předchozí obrázek"));
    stepForwardImage_->setAccessibleName(QStringLiteral("Další obrázek"));
    box_->setFocusPolicy(Qt::StrongFocus);
    stepBackImage_->setFocusPolicy(Qt::TabFocus);
    stepForwardImage_->setFocusPolicy(Qt::TabFocus);
    for (QWidget* control : std::initializer_list<QWidget*>{box_, stepBackImage_, stepForwardImage_})
        control->installEventFilter(this);
    box_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(box_, &PictureBox::clicked, this, &EnlargedView::closeChosen);
    connect(stepForwardImage_, &ImageControl::clicked, this, &EnlargedView::stepForwardChosen);
    connect(stepBackImage_, &ImageControl::clicked, this, &EnlargedView::stepBackChosen);
    connect(box_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { emit contextMenuAsked(box_->mapToGlobal(at)); });
}

void EnlargedView::place(const TwipsRect& view, const TwipsRect& stepBackImage, const TwipsRect& stepForwardImage)
{
    box_->Move(view);
    // The view is created in one colour and shown in another; only the
    // second is ever seen.
    box_->setBackColor(WindowColors::ViewBack);
    stepBackImage_->Move(stepBackImage);
    stepForwardImage_->Move(stepForwardImage);
}

TwipsRect EnlargedView::stepBackImagePlace() const
{
    return stepBackImage_->Place();
}

TwipsRect EnlargedView::stepForwardImagePlace() const
{
    return stepForwardImage_->Place();
}

void EnlargedView::setWhyNoPicture(const QString& why)
{
    box_->setToolTip(why);
}

void EnlargedView::takeFocus()
{
    box_->setFocus(Qt::OtherFocusReason);
}

QWidget* EnlargedView::chainTabOrder(QWidget* previous)
{
    if (previous)
        QWidget::setTabOrder(previous, box_);
    QWidget::setTabOrder(box_, stepBackImage_);
    QWidget::setTabOrder(stepBackImage_, stepForwardImage_);
    return stepForwardImage_;
}

// A focused stepping image is clicked by Space or Enter; every other key
// without modifiers is the window's to handle first.
bool EnlargedView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    const bool activation = key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool plain = !(key.modifiers() & ~Qt::KeypadModifier);
    if (plain && activation && (watched == stepBackImage_ || watched == stepForwardImage_)) {
        static_cast<ImageControl*>(watched)->click();
        return true;
    }
    return keyHandler_ && keyHandler_(key);
}

QString EnlargedView::captionOf(const QString& path, QSize fileSize)
{
    const QString caption = path + QStringLiteral(" --> ") + QString::number(fileSize.width()) + QStringLiteral(" x ") +
                            QString::number(fileSize.height()) + QStringLiteral(" pixel");
    return ShownText::Of(WindowRules::LastCharacters(caption, CaptionCharacters));
}

void EnlargedView::show(const Pictures::Picture& picture, const QString& caption)
{
    shown_ = picture;
    box_->ClearPicture();
    const QRectF drawn = WindowRules::FitPicture(
        picture.fileSize, QSizeF(box_->Width().value(), box_->Height().value()), WindowRules::Fit::Exact);
    box_->PaintPicture(picture.image, Twips(drawn.x()), Twips(drawn.y()), Twips(drawn.width()), Twips(drawn.height()));
    box_->setVisible(true);
    box_->Refresh();
    box_->setCurrentY(box_->Height() - CaptionAboveBottom);
    box_->Print(caption);
}

void EnlargedView::showNothing()
{
    box_->ClearPicture();
    box_->Refresh();
}

void EnlargedView::close()
{
    box_->setVisible(false);
    box_->Refresh();
}

void EnlargedView::setSteps(bool back, bool forward)
{
    stepForwardImage_->setVisible(forward);
    stepBackImage_->setVisible(back);
}

bool EnlargedView::hasFocus() const
{
    const QWidget* focused = box_->window()->focusWidget();
    return focused == box_ || box_->isAncestorOf(focused);
}

bool EnlargedView::isUnder(QPoint global) const
{
    return box_->rect().contains(box_->mapFromGlobal(global));
}
