// The tally list window in the running program: the file read at start-up
// and written at the end, following and unfollowing players, games and
// hands counted through the table, reset, and a damaged file kept aside.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/program.h"
#include "players/simulation.h"
#include "tally/tally_codec.h"
#include "tally/tally_file.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::freePort;
using table::test::settle;
using table::test::waitUntil;

QStringList entries(const QListWidget* list, bool checkedOnly = false) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        if (!checkedOnly || list->item(i)->checkState() == Qt::Checked) names << list->item(i)->text();
    return names;
}

// Answers the next question box with `button` once it is open.
void answerNextQuestion(QMessageBox::StandardButton button) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        poll->stop();
        poll->deleteLater();
        box->button(button)->click();
    });
    poll->start(5);
}

class TallyWindow : public test::ProgramFixture {
protected:
    void startTally() {
        start({});
        ASSERT_TRUE(loggedIn());
        // Three players join as the host would announce them.
        for (const char* arrival : {"CMD_newplayerinfo+2+Ann", "CMD_newplayerinfo+3+Bo", "CMD_newplayerinfo+4+Cy"})
            program->table().dispatch(arrival);
        ASSERT_EQ(seat(4), "Cy");
    }
    void restart() { startTally(); }
    QString file() const { return home.filePath("Vorneltally.tld"); }
    std::string storedText() const {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly)) return "(no file)";
        const QByteArray bytes = f.readAll();
        auto text = tally::decompress(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return std::holds_alternative<std::string>(text) ? std::get<std::string>(text) : "(damaged)";
    }
    void writeFile(const QByteArray& bytes) {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    TallyList& window() { return program->tally(); }
    QListWidget* inGame() { return window().findChild<QListWidget*>("checklist_currentgame"); }
    QListWidget* tallied() { return window().findChild<QListWidget*>("checklist_tallied"); }
    QString label(const QString& name) { return window().findChild<QLabel*>(name)->text(); }
    QStringList labels(const char* prefix, int from, int to) {
        QStringList texts;
        for (int k = from; k <= to; ++k) texts << label(QString("%1%2").arg(prefix).arg(k));
        return texts;
    }
    void viewTally() { program->table().action("action_viewtally")->trigger(); }
    // Follows a player by checking the name in "Players In Current Game".
    void follow(const QString& name) {
        for (int i = 0; i < inGame()->count(); ++i)
            if (inGame()->item(i)->text() == name) inGame()->item(i)->setCheckState(Qt::Checked);
    }
    void unfollow(const QString& name, QMessageBox::StandardButton answer) {
        answerNextQuestion(answer);
        const int before = tallied()->count();
        for (int i = 0; i < tallied()->count(); ++i)
            if (tallied()->item(i)->text() == name) tallied()->item(i)->setCheckState(Qt::Unchecked);
        ASSERT_TRUE(waitUntil([&] {
            return tallied()->count() < before || entries(tallied(), true).size() == entries(tallied()).size();
        }));
    }
    QString seat(int s) { return program->table().board().nameLabel(s)->text(); }
};

TEST_F(TallyWindow, FirstRunStartsEmptyAndWritesNineZeros) {
    startTally();
    EXPECT_EQ(window().windowTitle(), "Vornel - Tally List");
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"0", "0", "0", "0"}));
    EXPECT_TRUE(entries(tallied()).isEmpty());
    EXPECT_FALSE(window().loadFailure());
    viewTally();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(entries(inGame()), QStringList({seat(2), seat(3), seat(4)})) << "the other three seats";
    EXPECT_TRUE(entries(inGame(), true).isEmpty());
    window().findChild<QPushButton*>("button_done")->click();
    EXPECT_FALSE(window().isVisible());
    program.reset();
    EXPECT_EQ(storedText(), "9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
}

TEST_F(TallyWindow, GamesAndHandsAreCountedThroughTheTableAndARestartKeepsTotals) {
    startTally();
    viewTally();
    const QString partner = seat(3), opponent = seat(2), other = seat(4);
    follow(partner);
    follow(opponent);
    EXPECT_EQ(entries(tallied(), true), QStringList({partner, opponent}));
    tallied()->setCurrentRow(0);

    program->table().dispatch("CMD_thewinner+1+");  // the own team (seats 1 and 3) won
    program->table().services().tally.addtomineincrease(3);
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"1", "1", "1", "0"}));
    EXPECT_EQ(labels("label_", 1, 8), QStringList({"1", "0", "0", "1", "1", "0", "0", "1"})) << "partner shown";
    EXPECT_EQ(label("label_heading"), partner + "'s Tally");
    EXPECT_EQ(label("label_winsline"), partner + " Wins:");

    program->table().dispatch("CMD_thewinner+2+");  // lost to seats 2 and 4
    tallied()->setCurrentRow(1);
    EXPECT_EQ(labels("label_", 1, 8), QStringList({"2", "1", "1", "0", "2", "1", "1", "0"}));

    program->table().state().ownSeat = 6;  // a watcher counts nothing
    program->table().dispatch("CMD_thewinner+2+");
    program->table().state().ownSeat = 1;
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"2", "1", "1", "0"}));
    EXPECT_EQ(entries(tallied()).size(), 2) << other.toStdString() << " was never followed";

    restart();
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"2", "1", "1", "0"}));
    EXPECT_EQ(entries(tallied(), true), QStringList({partner, opponent}));
    tallied()->setCurrentRow(1);
    EXPECT_EQ(labels("label_", 1, 8), QStringList({"2", "1", "1", "0", "0", "0", "0", "0"}));
    viewTally();
    EXPECT_EQ(entries(inGame(), true), QStringList({opponent, partner})) << "followed names checked";
}

TEST_F(TallyWindow, AFollowedNameIsFoundInAnyLetterCaseButWinsNeedTheExactName) {
    tally::TallyTable stored;
    stored.follow("ANN");
    writeFile(QByteArray::fromStdString(tally::compress(stored.toText())));
    startTally();
    viewTally();
    ASSERT_EQ(entries(inGame(), true), QStringList({"Ann"}));
    inGame()->item(0)->setCheckState(Qt::Unchecked);  // clicked again: still followed, nothing added
    inGame()->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(entries(inGame(), true), QStringList({"Ann"}));
    EXPECT_EQ(entries(tallied(), true), QStringList({"ANN"}));
    program->table().dispatch("CMD_thewinner+2+");  // "Ann" and "Cy" won, not "ANN"
    EXPECT_EQ(QString::fromStdString(window().tally().cell(1, 1) + window().tally().cell(2, 1)), "10");
}

TEST_F(TallyWindow, UnfollowingAsksAndResetEmptiesEverything) {
    startTally();
    viewTally();
    for (int s = 2; s <= 4; ++s) follow(seat(s));
    unfollow(seat(3), QMessageBox::No);
    EXPECT_EQ(entries(tallied(), true), QStringList({seat(2), seat(3), seat(4)})) << "No re-checks the entry";
    unfollow(seat(3), QMessageBox::Yes);
    EXPECT_EQ(entries(tallied(), true), QStringList({seat(2), seat(4)}));
    EXPECT_EQ(window().tally().rowCount(), 3);
    EXPECT_EQ(window().tally().cell(0, 2), seat(4).toStdString()) << "the row below moved up";
    EXPECT_EQ(entries(inGame(), true), QStringList({seat(2), seat(4)}));

    program->table().dispatch("CMD_thewinner+1+");
    answerNextQuestion(QMessageBox::No);
    window().findChild<QPushButton*>("button_reset")->click();
    EXPECT_EQ(label("mylabel_1"), "1");
    answerNextQuestion(QMessageBox::Yes);
    window().findChild<QPushButton*>("button_reset")->click();
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"0", "0", "0", "0"}));
    EXPECT_TRUE(entries(tallied()).isEmpty());
    EXPECT_TRUE(entries(inGame()).isEmpty());
    EXPECT_EQ(window().tally().rowCount(), 1);
}

TEST_F(TallyWindow, ADamagedFileIsReportedAndKeptAside) {
    writeFile(QByteArray("WRZL\x09\x00\x00\x00\x03\x00\x80" "ab", 13));  // 2 bytes of the 9 announced
    startTally();
    ASSERT_TRUE(window().loadFailure());
    const QString expected = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    EXPECT_EQ(QString::fromStdString(*window().loadFailure()), expected);
    auto* box = program->table().findChild<QMessageBox*>("message_tally");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), expected);
    EXPECT_TRUE(box->informativeText().endsWith(file() + ".bad"));
    EXPECT_EQ(labels("mylabel_", 1, 4), QStringList({"0", "0", "0", "0"}));
    program.reset();
    QFile kept(file() + ".bad");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("WRZL\x09\x00\x00\x00\x03\x00\x80" "ab", 13));
    EXPECT_EQ(storedText(), "9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n") << "a new tally beside it";
}

TEST_F(TallyWindow, PictureWithFollowedPlayers) {
    startTally();
    viewTally();
    for (int s = 2; s <= 4; ++s) follow(seat(s));
    program->table().dispatch("CMD_thewinner+1+");
    program->table().dispatch("CMD_thewinner+2+");
    tallied()->setCurrentRow(1);
    settle();
    const QPixmap picture = window().grab();
    EXPECT_EQ(picture.size(), QSize(460, 300));
    EXPECT_TRUE(picture.save(QDir::temp().filePath("vornel-tally-list.png")));
}

}  // namespace
}  // namespace vornel::app
