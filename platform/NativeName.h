#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

// File names on Linux are bytes, usually but not always UTF-8. Names are held
// as QString everywhere in the program; a byte that is not part of valid UTF-8
// is kept as the lone surrogate U+DC80 + byte, so that the exact native name
// can be rebuilt when the file is opened. Only what is shown to the user turns
// those bytes into the replacement character (ShownText).
namespace NativeName {

QString Decode(std::string_view bytes);
std::string Encode(const QString& name);
std::filesystem::path ToPath(const QString& name);
QString FromPath(const std::filesystem::path& path);

// Appends the UTF-8 form of code point cp to out; a surrogate value takes the
// three-byte form like any other value below U+10000. The bytes of two code
// points compare as the code points do.
void AppendUtf8(std::string& out, char32_t cp);

// The name as valid text on one line: escaped bytes and control characters
// (a line break in a name, say) become U+FFFD. Wildcard patterns are matched
// on this form, which differs from the name only where it cannot be matched
// as stored; what the user is shown is ShownText::Of(name).
QString Display(const QString& name);

// The name as plain text for a log line: escaped bytes, control characters
// and the backslash are written as \xNN, so that every byte can be told and
// no name can break a line or forge another.
QString Printable(const QString& name);

} // namespace NativeName
