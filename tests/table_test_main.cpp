// The table's tests draw pictures and build widgets, which need an
// application object; without a display they run on the offscreen platform.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tables in tests play their sounds to no audio server: a test that
    // listens to the server's output names the server itself.
    qputenv("PULSE_SERVER", "unix:/nonexistent/vornel-tests-play-no-sound");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
