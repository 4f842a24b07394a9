#pragma once

#include "Decode.h"
#include "TwipsPlacement.h"

#include <QObject>

#include <functional>
#include <optional>

class ImageControl;
class PictureBox;
class QFont;
class QKeyEvent;

// The enlarged view over the grid: one picture with its caption along the
// bottom, and the two stepping images inside it. It shows what the window
// gives it and says when the user steps or closes; where a step leads is the
// window's to decide, and so are its keys. A focused stepping image is
// clicked by Space or Enter, as a button is.
class EnlargedView : public QObject {
    Q_OBJECT

public:
    // Creates the view, hidden, in front of what `parent` holds.
    EnlargedView(const QFont& captionFont, QWidget* parent);

    // Where the view sits, and its stepping images inside it; the view takes
    // the colour it is shown in.
    void place(const TwipsRect& view, const TwipsRect& stepBackImage, const TwipsRect& stepForwardImage);
    // Where the stepping images sit now, at the size their pictures gave them.
    TwipsRect stepBackImagePlace() const;
    TwipsRect stepForwardImagePlace() const;

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
    void setWhyNoPicture(const QString& why);
    // Shows each stepping image when the view can step that way.
    void setSteps(bool back, bool forward);
    // Whether the window's keyboard focus is in the view, and giving it the focus.
    bool hasFocus() const;
    void takeFocus();
    // Whether the point (global pixels) is over the view.
    bool isUnder(QPoint global) const;
    // Puts the view and its stepping images in the window's Tab chain after
    // `previous`; returns the last.
    QWidget* chainTabOrder(QWidget* previous);
    // The window's handling of a key pressed in the view: true when it took the key.
    using KeyHandler = std::function<bool(const QKeyEvent& key)>;
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

signals:
    void stepForwardChosen();
    void stepBackChosen();
    void closeChosen();
    // The right button on the picture, at `global`.
    void contextMenuAsked(QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PictureBox* box_ = nullptr;
    ImageControl* stepBackImage_ = nullptr;
    ImageControl* stepForwardImage_ = nullptr;
    std::optional<Pictures::Picture> shown_;
    KeyHandler keyHandler_;
};
