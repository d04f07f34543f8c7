// A window for the end-to-end tests: e2ewindow TITLE. It shows without taking
// the focus, so that only the test decides which window is active.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString title = QString::fromLocal8Bit(argv[1]);
    QLabel window(title);
    window.setWindowTitle(title);
    window.setAlignment(Qt::AlignCenter);
    window.resize(320, 120);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.show();
    return app.exec();
}
