#pragma once

#include "ClickableWidget.h"
#include "Decode.h"
#include "MousePointer.h"
#include "TwipsPlacement.h"

#include <QCursor>
#include <QFont>
#include <QImage>

#include <optional>

// A picture box whose drawing persists: everything is painted onto a canvas
// image that the widget only copies to the screen, so what is drawn survives
// repaints and can be drawn while the box is hidden. Drawing coordinates are
// twips from the box's top-left corner.
//
// A box can also hold a loaded picture (the load buffer of the window): the
// box then takes the picture's size, 15 twips to a pixel of the file.
class PictureBox : public ClickableWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    void setForeColor(int color) { foreColor_ = color; }

    // Removes everything drawn: the box shows its background only.
    void ClearPicture();
    // Clears the drawing and puts the print position at the top left.
    void Cls();

    Twips CurrentY() const { return currentY_; }
    void setCurrentY(Twips y) { currentY_ = y; }
    void setFontSize(double points) { font_.setPointSizeF(points); }
    void setFontBold(bool bold) { font_.setBold(bold); }
    void setTextFont(const QFont& font) { font_ = font; }
    const QFont& textFont() const { return font_; }

    // Prints text from the left edge at CurrentY; "\r\n" (or "\n") starts a
    // new line. CurrentY ends below the last line.
    void Print(const QString& text);
    // The last line printed since the drawing was last cleared (empty when
    // none), so that checks can read what the box shows as text.
    const QString& lastPrintedLine() const { return lastPrinted_; }
    // Draws the whole image scaled into the rectangle (twips); parts outside
    // the box are clipped.
    void PaintPicture(const QImage& image, Twips x, Twips y, Twips width, Twips height);
    // Shows the canvas on screen.
    void Refresh();

    MousePointer mousePointer() const { return pointer_; }
    void setMousePointer(MousePointer pointer);
    const QCursor& MouseIcon() const { return icon_; }
    void setMouseIcon(const QCursor& icon);

    // The load buffer: holds the picture loaded last (decoded elsewhere), and
    // takes its size, 15 twips to a pixel of the file.
    void setLoadedPicture(Pictures::Picture picture);
    const std::optional<Pictures::Picture>& picture() const { return picture_; }
    // The loaded picture's size in pixels of the file (0 x 0 without one).
    int ScaleWidthPixels() const;
    int ScaleHeightPixels() const;

    // What the box shows, for checks: the canvas and a pixel of it.
    const QImage& canvas();
    QColor PixelAt(Twips x, Twips y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ensureCanvas();
    void applyCursor();

    QImage canvas_;
    int backColor_ = 0xF0F0F0;
    int foreColor_ = 0;
    Twips currentY_;
    QString lastPrinted_;
    QFont font_;
    MousePointer pointer_ = MousePointer::Default;
    QCursor icon_;
    std::optional<Pictures::Picture> picture_;
};
