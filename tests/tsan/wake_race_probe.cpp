// Not a test of the program: a deliberate data race, built only into the
// ThreadSanitizer build, that tests/tsan/probe.sh runs with tests/tsan.supp
// and expects ThreadSanitizer to report. Each decode, on a worker, writes a
// global as it starts; the owner reads it in a slot connected to
// resultReady(), while the next decode is starting. The read runs on the
// owner's thread below the pipeline's wake-up and QTest::qRun, as every
// consumer of resultReady() does, so a suppression that matched those stacks
// would hide this race, and the probe fails.

#include "Pipeline.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <thread>

using namespace Pictures;
using namespace std::chrono_literals;

namespace {

// The racing variable: no lock, no atomic.
int wakeRaceProbeGlobal = 0;

Decoded decodeWritingTheGlobal(const std::string&, QSize box, Purpose)
{
    ++wakeRaceProbeGlobal;
    // Long enough for the owner to be woken by the previous decode meanwhile.
    std::this_thread::sleep_for(20ms);
    QImage image(box, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return Decoded{Picture{image, image.size()}, Failure::None};
}

} // namespace

class WakeRaceProbe : public QObject {
    Q_OBJECT
private slots:
    void ownerReadsWhatWorkersWrite();
};

void WakeRaceProbe::ownerReadsWhatWorkersWrite()
{
    QTemporaryDir dir;
    std::vector<Request> page;
    for (int i = 0; i < 16; ++i) {
        QFile file(dir.filePath(QStringLiteral("P%1.BMP").arg(i)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("picture") == 7);
        page.push_back(Request{{QFile::encodeName(file.fileName()).toStdString()}, SquareBox(40), Purpose::Thumbnail});
    }
    Pipeline pipeline(Pipeline::Options{.workers = 1, .decode = decodeWritingTheGlobal});
    QObject window;
    int lastSeen = 0;
    connect(&pipeline, &Pipeline::resultReady, &window, [&lastSeen] { lastSeen = wakeRaceProbeGlobal; });
    pipeline.submit(page);
    QElapsedTimer clock;
    clock.start();
    for (const Request& request : page) {
        while (!pipeline.tryGet(request) && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QVERIFY(lastSeen > 0);
}

QTEST_GUILESS_MAIN(WakeRaceProbe)
#include "wake_race_probe.moc"
