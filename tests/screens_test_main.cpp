// Window placement tests on two screens of the offscreen platform, with
// frames around the windows: a large primary screen and, to its right, a
// small one, smaller than a table that was stored on a larger screen.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath("screens.json");
    QFile file(config);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly)) return 1;
    file.write(R"({"windowFrameMargins": true, "screens": [
        {"name": "Main", "x": 0, "y": 0, "width": 1600, "height": 1000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Small", "x": 1600, "y": 0, "width": 800, "height": 600,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:/nonexistent/vornel-tests-play-no-sound");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
