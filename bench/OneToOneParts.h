#pragma once

#include <QString>

// 1:1 of pictures no whole decode could show pixel for pixel within one
// decode's memory: a 24 MP camera portrait stored on its side (orientation
// 6), a 45 MP and a 100 MP landscape, each a one-pixel checkerboard. For
// each, the time from 1 to the sharp picture (nothing decoded ahead), then
// whether every pixel of the screen is the file's own, there and panned to
// each corner, and the process's peak resident memory over all of it.
// Written into folder (made if need be: one of their own, as the window
// lists every picture of its folder); the screen is the running X server's.
void ShowLargePicturesOneToOne(const QString& folder);
