#include "PrivateXServer.h"

#include <QStandardPaths>

namespace {

constexpr int StartMs = 10000;
constexpr int StopMs = 3000;

} // namespace

PrivateXServer::PrivateXServer(QSize screen)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    // -displayfd: Xvfb tries display numbers until one is free and writes it
    // to standard output once it is ready.
    server_.setProgram(xvfb);
    server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start();
    if (!server_.waitForStarted(StartMs))
        return;
    QByteArray written;
    while (!written.contains('\n') && server_.waitForReadyRead(StartMs))
        written += server_.readAllStandardOutput();
    bool number = false;
    written.trimmed().toInt(&number);
    if (number)
        display_ = QStringLiteral(":") + QString::fromLatin1(written.trimmed());
}

PrivateXServer::~PrivateXServer()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(StopMs)) {
        server_.kill();
        server_.waitForFinished(StopMs);
    }
}
