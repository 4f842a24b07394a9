#pragma once

#include "Viewport.h"

#include <QString>

#include <chrono>
#include <optional>

// What the one-line overlay of the full-screen view says: the picture's name,
// its place in the folder, the zoom, the zoom mode and kept zoom when they are
// not the defaults, and the slideshow's state while it runs (or was just
// changed). The name is shown as ShownText shows it; the rest is Czech.
struct OverlayText {
    QString name;     // the file's name as stored (an escaped native name)
    int position = 0; // from 1
    int count = 0;
    std::optional<double> scale; // nothing: no picture on screen yet
    Viewport::Mode mode = Viewport::Mode::Fit;
    bool enlargeSmall = false;
    bool keepZoom = false;
    // The slideshow's part: shown while it runs, and for a moment after a
    // change of its settings.
    bool slideshowShown = false;
    bool slideshowRunning = false;
    std::chrono::milliseconds delay{4000};
    bool loop = false;
    bool random = false;

    // The name as shown, and what follows it: the overlay shortens only the
    // name when the line is too wide for the screen.
    QString shownName() const;
    QString details() const;
    QString line() const;

    // Between the parts of the line.
    static QString separator();
    // "36 %", "100 %", "4,5 %": whole percent, a decimal below ten.
    static QString zoomText(double scale);
};
