#include "Kalvio.h"

#include "MessageBox.h"

#include <QApplication>

namespace {

// The About box's credit line is kept only scrambled, and unscrambled each
// time the box opens: character i of the line is Scrambled[i] - Key[i] + 32.
// Intended: the line cannot be read from the program's text; the user sees it
// plainly as the last line of the About box.
constexpr char Key[] = "!&%$#$!&%$#!!$%$#$!&%$#!!&#$#$!&";
constexpr char Scrambled[] = "Lgqzls!3%jrul}%v|girj$d!ck}$flzh";
static_assert(sizeof(Key) == 33 && sizeof(Scrambled) == sizeof(Key), "both texts hold 32 characters");

} // namespace

void Kalvio::exitImageClicked()
{
    close();
}

void Kalvio::exitLabelClicked()
{
    exitImageClicked();
}

void Kalvio::exitChosen()
{
    exitImageClicked();
}

// Nothing to save and no question to ask: the viewer keeps no file open
// between events, so closing never loses anything.
void Kalvio::queryUnload(bool& cancel, int)
{
    cancel = false;
}

void Kalvio::logoClicked()
{
    MessageBox::Show(this, credits_);
}

QString Kalvio::creditLine()
{
    QString line;
    for (int k = 0; k < int(sizeof(Key)) - 1; ++k)
        line += QChar(Scrambled[k] - Key[k] + 32);
    return line;
}

QString Kalvio::aboutText() const
{
    return credits_ + QStringLiteral("\r\n\r\n") + creditLine();
}

void Kalvio::aboutChosen()
{
    MessageBox::Show(this, aboutText());
}
