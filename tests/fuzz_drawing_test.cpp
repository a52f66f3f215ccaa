// The table fuzzer draws the board after each input onto a device that
// keeps no pixels. That drawing must reach the same widgets, in the same
// order, as drawing the board into a real picture: otherwise the fuzzer's
// check that whatever an input leaves on the board can be drawn would
// quietly skip some of it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/null_paint_device.h"
#include "table_test_support.h"

namespace vornel::table::test {
namespace {

// Names of the widgets that get a paint event while it is alive, in order.
class PaintLog final : public QObject {
public:
    explicit PaintLog(const Board& board) : board_(board) { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }
    const std::vector<std::string>& painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && (watched == &board_ || watched->parent() == &board_))
            painted_.push_back(watched->objectName().toStdString());
        return false;
    }

private:
    const Board& board_;
    std::vector<std::string> painted_;
};

// The playing area, as the fuzzer draws it: everything left of the chat box.
QRect playingArea(Board& board) { return {0, 0, board.mainchat()->x(), board.height()}; }

std::vector<std::string> paintedIntoPicture(Board& board) {
    const QRect playing = playingArea(board);
    QImage picture(playing.size(), QImage::Format_ARGB32_Premultiplied);
    PaintLog log(board);
    board.render(&picture, QPoint(), QRegion(playing));
    return log.painted();
}

std::vector<std::string> paintedOntoNothing(Board& board) {
    const QRect playing = playingArea(board);
    fuzz::NullPaintDevice device(playing.size());
    PaintLog log(board);
    board.render(&device, QPoint(), QRegion(playing));
    return log.painted();
}

struct DrawCase {
    const char* name;
    const char* bytes;     // '|' ends a message
    const char* mustPaint;  // one widget the session leaves to be drawn
};

void PrintTo(const DrawCase& c, std::ostream* out) { *out << c.name; }

const DrawCase kDrawCases[] = {
    {"a new table", "", "label_playername1"},
    {"a dealt hand, a bid and a card played",
     "CMD_sendlogininfo+1|CMD_newplayerinfo+1+Ann|CMD_startgame+Ann+10+|CMD_dealer+1+|"
     "CMD_placecard+1+1+37+2+12+3+50+4+26+5+51|CMD_placecard+2+1+0+2+0+3+0+4+0+5+0|CMD_settrump+47+|"
     "CMD_bidder+2+|CMD_hepassed+2+|CMD_nextplayer+2+|CMD_playedcard+2+1+22+|",
     "card3"},
    {"seat 3 turns the board and reads odd names",
     "CMD_sendlogininfo+3|CMD_newplayerinfo+3+\xE9\xE8<b>x</b>|CMD_existingplayers+1+Ann|"
     "CMD_score+1+7+3+2+1+|",
     "label_score1"},
};

class FuzzDrawing : public ::testing::TestWithParam<DrawCase> {};

TEST_P(FuzzDrawing, ReachesTheWidgetsARealPictureReaches) {
    RecordingServices services;
    TableWindow table{TableWindow::Services{services, services, services, services, services}};
    std::string bytes(GetParam().bytes);
    for (char& c : bytes)
        if (c == '|') c = '\xFF';
    table.connection().received(bytes);
    for (int ticks = 0; ticks < 1000 && table.connection().waiting() > 0; ++ticks) table.connection().tick();
    settle();

    const std::vector<std::string> real = paintedIntoPicture(table.board());
    const std::vector<std::string> none = paintedOntoNothing(table.board());
    ASSERT_FALSE(real.empty()) << "drawing the board into a picture painted nothing";
    EXPECT_NE(std::find(real.begin(), real.end(), GetParam().mustPaint), real.end())
        << GetParam().mustPaint << " was not drawn";
    EXPECT_EQ(none, real);
}

INSTANTIATE_TEST_SUITE_P(Sessions, FuzzDrawing, ::testing::ValuesIn(kDrawCases));

}  // namespace
}  // namespace vornel::table::test
