#pragma once

#include <QProcess>
#include <QSize>
#include <QString>

// An Xvfb server of its own for the peer programs that need a display. It
// picks a free display number itself and says which once it accepts
// connections; the server ends with this object.
class PrivateXServer {
public:
    explicit PrivateXServer(QSize screen = QSize(1280, 1024));
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":N", or empty when Xvfb is missing or did not start.
    QString display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};
