// The least a Qt Widgets program does before its first paint, for the
// benchmark to set Kalvio's start beside: a label WIDTH x HEIGHT pixels (the
// window's size), shown; it says "painted" on stderr as it paints, as
// Kalvio's start-up log says "window painted".
//
//   kalvio_bench_minimal_window WIDTH HEIGHT

#include <QApplication>
#include <QLabel>

#include <cstdio>
#include <cstdlib>

class PaintedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        std::fputs("painted\n", stderr);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PaintedLabel label(QStringLiteral("Kalvio"));
    label.resize(argc > 2 ? std::atoi(argv[1]) : 640, argc > 2 ? std::atoi(argv[2]) : 480);
    label.show();
    return app.exec();
}
