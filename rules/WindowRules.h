#pragma once

#include "Decode.h"

#include <QRectF>
#include <QSize>
#include <QString>

// The rules of cells and the view, each written once and used by every
// procedure that needs it.
namespace WindowRules {

// The file drawn in a cell for the picture `name`: a name that begins with an
// upper-case "R" has its camera's small copy "THM/T…" (the name without its
// "R"); any other name is drawn from itself.
QString ThumbnailName(const QString& name);

// How a picture of `picture` pixels is placed in a box: its longer side spans
// the box's width, the other side in proportion, centred. The longer side
// spans the width also when it is the vertical one, so portrait and square
// pictures reach over the top and bottom of a box that is less high than wide
// and are cut there; that is intended.
//   Exact: the sizes and offsets as computed (the enlarged view).
//   WholeTwips: the short side and the offsets rounded down to whole twips,
//   as the thumbnails are drawn.
enum class Fit { Exact, WholeTwips };
QRectF FitPicture(QSize picture, QSizeF box, Fit fit);

// The last `count` characters of text, counting a character that takes two
// UTF-16 units as one and never starting inside it.
QString LastCharacters(const QString& text, int count);

// What the user is told, in a cell's tooltip, of why it shows no picture.
QString WhyNoPicture(Pictures::Failure failure);

} // namespace WindowRules
