// Laying out and drawing the table's board at 1920 x 1080: a resize step
// whose pictures are already drawn for both sizes, and the first drawing at
// a size never shown before (every picture drawn anew), as while the player
// drags the window's edge. Runs headless.
//
//   vornel-board-bench [--benchmark_...]

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <memory>

#include "table/artwork_drawing.h"
#include "engine/cards.h"
#include "table/board.h"
#include "table/table_services.h"
#include "table/table_window.h"

namespace {

using vornel::table::RecordingServices;
using vornel::table::TableWindow;

// A table in the middle of a trick: the own hand, three fans, the trump card,
// two played cards, the markers and a few chat lines.
struct MidGameTable {
    RecordingServices services;
    TableWindow table{TableWindow::Services{services, services, services, services, services}};

    MidGameTable() {
        table.show();
        for (const char* message :
             {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+You", "CMD_startgame+You+10+", "CMD_dealer+4",
              "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22", "CMD_placecard+2+1+0+2+0+3+0+4+0+5+0",
              "CMD_placecard+3+1+0+2+0+3+0+4+0+5+0", "CMD_placecard+4+1+0+2+0+3+0+4+0+5+0", "CMD_settrump+12",
              "CMD_heaccepted+2", "CMD_playedcard+2+3+11", "CMD_nextplayer+3", "CMD_playedcard+3+1+24",
              "CMD_nextplayer+4"})
            table.dispatch(message);
        for (int i = 0; i < 20; ++i) table.addlinetochat("Klot: a line of chat number " + QString::number(i), Qt::black);
    }

    // Lays the board out for a client area of this size and draws all of it.
    void layOutAndDraw(const QSize& client, QImage& canvas) {
        QWidget* stage = table.centralWidget();
        stage->resize(client);
        if (canvas.size() != client) canvas = QImage(client, QImage::Format_ARGB32_Premultiplied);
        stage->render(&canvas);
    }
};

MidGameTable& sharedTable() {
    // Headless unless told otherwise; made on first use, kept to the end.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vornel-board-bench";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    static auto* table = new MidGameTable;
    (void)application;
    return *table;
}

void BM_ResizeStepAt1920x1080(benchmark::State& state) {
    MidGameTable& t = sharedTable();
    QImage canvas;
    const QSize sizes[] = {{1920, 1080}, {1910, 1075}};
    t.layOutAndDraw(sizes[0], canvas);
    t.layOutAndDraw(sizes[1], canvas);
    int step = 0;
    for (auto _ : state) {
        t.layOutAndDraw(sizes[step++ % 2], canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_ResizeStepAt1920x1080)->Unit(benchmark::kMillisecond);

void BM_FirstDrawAtANewSizeNear1920x1080(benchmark::State& state) {
    MidGameTable& t = sharedTable();
    QImage canvas;
    int height = 1080;
    for (auto _ : state) {
        // Every height gives a factor, and so pictures, not drawn before.
        t.layOutAndDraw({1920, height}, canvas);
        height = height <= 700 ? 1080 : height - 1;
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_FirstDrawAtANewSizeNear1920x1080)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_DrawAtTheSmallestSize(benchmark::State& state) {
    MidGameTable& t = sharedTable();
    QImage canvas;
    for (auto _ : state) {
        t.layOutAndDraw({786, 563}, canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_DrawAtTheSmallestSize)->Unit(benchmark::kMillisecond);

// The 24 faces in play drawn once each at their own size: about what a deal
// costs now that the faces no window shows are let go between hands.
void BM_FacesInPlayDrawn(benchmark::State& state) {
    (void)sharedTable();  // the application, and the fonts loaded
    for (auto _ : state)
        for (const int code : vornel::kInPlayCodes) benchmark::DoNotOptimize(vornel::table::drawing::drawCardFace(code));
}
BENCHMARK(BM_FacesInPlayDrawn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
