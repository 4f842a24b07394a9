#pragma once

#include "ClickableWidget.h"
#include "TwipsPlacement.h"

// A label: centred text on a transparent background. With AutoSize it takes
// the size of its caption whenever the caption or the font changes.
class CaptionLabel : public ClickableWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    void setTextColor(int color);
    void setAutoSize(bool autoSize);
    void setLabelFont(const QFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToCaption();

    QString caption_;
    int textColor_ = 0;
    bool autoSize_ = false;
};
