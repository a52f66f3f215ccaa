// vornel-empty-window: the smallest Qt Widgets program that shows one window
// (of the table's size) and quits once it has been drawn. It is the yardstick
// for the game's own start-up: vornel-startup-probe --compare runs the two in
// turn and prints their ratio.

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class EmptyWindow final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (!painted_) QTimer::singleShot(0, qApp, &QApplication::quit);
        painted_ = true;
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    EmptyWindow window;
    window.resize(780, 600);
    window.show();
    return QApplication::exec();
}
