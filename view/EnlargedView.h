#pragma once

#include "Decode.h"
#include "ImageControl.h"
#include "PictureBox.h"

#include <QObject>

#include <optional>

class QFont;

// The enlarged view over the grid: one picture with its caption along the
// bottom, and the two stepping images inside it. It shows what the window
// gives it and says when the user steps or closes; where a step leads is the
// window's to decide.
class EnlargedView : public QObject {
    Q_OBJECT

public:
    // Creates the view, hidden, in front of what `parent` holds.
    EnlargedView(const QFont& captionFont, QWidget* parent);

    PictureBox* box() const { return box_; }
    ImageControl* stepBackImage() const { return stepBackImage_; }
    ImageControl* stepForwardImage() const { return stepForwardImage_; }

    // The caption of a picture at `path` whose file has `fileSize` pixels:
    // the path, an arrow and the size, cut to its last 80 characters.
    static QString captionOf(const QString& path, QSize fileSize);
    // Shows `picture` fitted to the view, with `caption` along its bottom,
    // and opens the view.
    void show(const Pictures::Picture& picture, const QString& caption);
    // Clears what the view shows; an open view stays open, empty.
    void showNothing();
    // The picture the view showed last (empty before the first).
    const std::optional<Pictures::Picture>& shownPicture() const { return shown_; }
    void close();
    // What the user is told, where the pointer rests on the view, of why it shows no picture.
    void setWhyNoPicture(const QString& why) { box_->setToolTip(why); }
    // Shows each stepping image when the view can step that way.
    void setSteps(bool back, bool forward);
    // Whether the window's keyboard focus is in the view, and giving it the focus.
    bool hasFocus() const;
    void takeFocus() { box_->setFocus(Qt::OtherFocusReason); }
    // Whether the point (global pixels) is over the open view.
    bool isUnder(QPoint global) const;

signals:
    void stepForwardChosen();
    void stepBackChosen();
    void closeChosen();

private:
    PictureBox* box_ = nullptr;
    ImageControl* stepBackImage_ = nullptr;
    ImageControl* stepForwardImage_ = nullptr;
    std::optional<Pictures::Picture> shown_;
};
