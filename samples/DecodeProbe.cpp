#include "DecodeProbe.h"

#include "SampleFiles.h"

#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace DecodeProbe {
namespace {

constexpr char Option[] = "--decode-once";

// A figure of /proc/self/status in KiB: "VmRSS" resident now, "VmHWM" the most ever.
long statusKiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Loads every reader and the code of every path once, on files of a few bytes.
void warmUp()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::gray);
    const std::string path = "/proc/self/fd/";
    for (const QByteArray& bytes : {Samples::Jpeg(image), Samples::Bmp(image), Samples::Gif(image)}) {
        FILE* file = std::tmpfile();
        if (!file)
            continue;
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
        std::fflush(file);
        Pictures::Decode(path + std::to_string(fileno(file)), 4, Pictures::Purpose::View);
        std::fclose(file);
    }
}

} // namespace

int RunIfAsked(int argc, char** argv)
{
    if (argc != 5 || std::strcmp(argv[1], Option) != 0)
        return -1;
    warmUp();
    const long before = statusKiB("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    const Pictures::Failure failure =
        Pictures::Decode(argv[2], std::atoi(argv[3]), Pictures::Purpose(std::atoi(argv[4]))).failure;
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%ld %.3f\n", statusKiB("VmHWM") - before, elapsed.count());
    return int(failure);
}

Measured InChild(const QString& program, const QString& path, int longSide, Pictures::Purpose purpose)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    const QByteArray self = QFile::encodeName(program), file = QFile::encodeName(path);
    const std::string side = std::to_string(longSide), kind = std::to_string(int(purpose));
    char* const arguments[] = {const_cast<char*>(self.constData()), const_cast<char*>(Option),
                               const_cast<char*>(file.constData()), const_cast<char*>(side.c_str()),
                               const_cast<char*>(kind.c_str()),     nullptr};
    pid_t child = -1;
    const bool started = ::posix_spawn(&child, self.constData(), &actions, nullptr, arguments, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    char line[64] = {};
    const ssize_t got = started ? ::read(pipe[0], line, sizeof line - 1) : -1;
    ::close(pipe[0]);
    int status = 0;
    if (!started || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || got <= 0)
        return {};
    Measured measured{Pictures::Failure(WEXITSTATUS(status))};
    if (std::sscanf(line, "%ld %lf", &measured.peakKiB, &measured.milliseconds) != 2)
        measured.peakKiB = -1;
    return measured;
}

} // namespace DecodeProbe
