#pragma once

#include <QString>

// Text read from files (a file's or folder's name, the camera's words in an
// EXIF block) in the form it is shown in, so that what the user sees is what
// is there and no text can pass for another:
// - a byte that is not UTF-8 (an escaped byte of a native name) or half a
//   surrogate pair shows as U+FFFD;
// - a control character (a line break, a tab, DEL, a C1 control) shows as
//   U+FFFD;
// - an invisible formatting character shows as U+FFFD: the bidirectional
//   marks, embeddings, overrides and isolates among them, which could turn
//   "abc<RLO>gnp.jpg" into "abcgpj.png" on screen, and the line and paragraph
//   separators, which would break the line. The zero-width joiner and
//   non-joiner stay: scripts and emoji need them, and they reorder nothing;
// - at most MarksPerCharacter combining marks stay on one character (enough
//   for Vietnamese, Hebrew with points and accents, Indic vowel signs); the
//   rest of the run shows as one U+FFFD, so that a pile of marks can neither
//   draw over the lines around it nor cost seconds to lay out;
// - a text that holds a right-to-left letter or digit is isolated left to
//   right (LRI ... PDI): it is laid out as one run that neither reorders the
//   text around it nor takes its direction from it, and its end (the
//   extension of a name) stays at its right end. Other text is left to right
//   as it stands and is returned without the isolate, so that a list's
//   type-ahead search still matches its first letters.
// Only what is shown takes this form: names are matched and opened as stored.
namespace ShownText {

constexpr int MarksPerCharacter = 4;

QString Of(const QString& text);

} // namespace ShownText
