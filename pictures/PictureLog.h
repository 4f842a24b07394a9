#pragma once

#include <QLoggingCategory>
#include <QString>

#include <string_view>

// The decoder's log, quiet unless enabled, e.g. with
// QT_LOGGING_RULES="kalvio.pictures*=true". Every failed decode says which
// file and why.
Q_DECLARE_LOGGING_CATEGORY(lcPictures)

namespace Pictures {

// A native file name fit for a log line: valid UTF-8 is kept, any other byte
// and every control character is written as \xHH.
QString PrintablePath(std::string_view path);

} // namespace Pictures
