// The yardstick for the client's start: a bare Qt Widgets window of the client's size with one
// line of text, drawn once into the PNG file named by the argument; then the process ends.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QWidget window;
    window.resize(320, 568);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("tavrix"), &window));
    window.show();
    const QString file = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(0, &window, [&window, file] {
        QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        window.render(&image);
        QCoreApplication::exit(image.save(file, "PNG") ? 0 : 1);
    });
    return app.exec();
}
