// The start-up anchor: the least a Qt Widgets program does before its first window is on screen
// (the application object, one top-level widget of the main window's size, shown). It ends
// itself after that window's first paint, as tessaro does under TESSARO_QUIT_AFTER_FIRST_PAINT.
// With --text it also draws one line of text, as a window's title does.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class Window final : public QWidget {
public:
    explicit Window(bool text) : m_text(text) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(240, 237, 235));
        if (m_text) {
            painter.drawText(QPoint(50, 28), QStringLiteral("Tessaro Video Wall Planner"));
        }
        if (!m_painted) {
            m_painted = true;
            // As tessaro's hook: once this paint pass is done, say when, then end.
            QTimer::singleShot(0, qApp, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint-ns %lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
    }

private:
    bool m_text;
    bool m_painted = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window(argc > 1 && std::strcmp(argv[1], "--text") == 0);
    window.setWindowTitle(QStringLiteral("Tessaro"));
    window.resize(1020, 720);
    window.show();
    return QApplication::exec();
}
