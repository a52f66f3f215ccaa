#pragma once
// What the table window asks of the windows around it (game log, last
// trick, tally, watcher list, sounds). The program's side windows implement
// these; RecordingServices keeps the requests, for tests and until a window
// exists.

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace vornel::table {

class GameLogSink {
public:
    virtual ~GameLogSink() = default;
    // Appends a line to pane 1 (Tan) or 2 (Blue) of the game log.
    virtual void addlinetomemo(const QString& text, int pane, const QColor& colour) = 0;
    virtual int lineCount(int pane) const = 0;
};

struct LastTrick {
    std::array<int, 5> cards{};  // seats 1..4, 0 = none
    int trumpImage = 0;          // index into the card pictures
    QString winnerText;
    QString ledSuitText;
};

class LastTrickSink {
public:
    virtual ~LastTrickSink() = default;
    virtual void showLastTrick(const LastTrick& trick) = 0;
    // The new bidding round clears the window's trump card.
    virtual void clearTrumpCard() = 0;
};

class TallySink {
public:
    virtual ~TallySink() = default;
    virtual void addgame(const QString& first, const QString& second) = 0;
    virtual void addtomineincrease(int column) = 0;
};

class WatcherList {
public:
    virtual ~WatcherList() = default;
    virtual void addWatcher(const QString& entry) = 0;
    // Removes the entry; false when it was not there.
    virtual bool removeWatcher(const QString& entry) = 0;
    virtual bool isEmpty() const = 0;
};

class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Starts the named sound (letter case ignored), stopping any still playing.
    virtual void play(const QString& name) = 0;
};

// Keeps every request, in order.
class RecordingServices final : public GameLogSink,
                                public LastTrickSink,
                                public TallySink,
                                public WatcherList,
                                public SoundSink {
public:
    struct LogLine {
        QString text;
        int pane;
        QColor colour;
    };

    void addlinetomemo(const QString& text, int pane, const QColor& colour) override {
        logLines.push_back({text, pane, colour});
    }
    int lineCount(int pane) const override {
        int n = 0;
        for (const auto& line : logLines) n += line.pane == pane;
        return n;
    }
    void showLastTrick(const LastTrick& trick) override { lastTricks.push_back(trick); }
    void clearTrumpCard() override { ++trumpCardClears; }
    void addgame(const QString& first, const QString& second) override { games.push_back({first, second}); }
    void addtomineincrease(int column) override { mineIncreases.push_back(column); }
    void addWatcher(const QString& entry) override { watchers.push_back(entry); }
    bool removeWatcher(const QString& entry) override { return watchers.removeOne(entry); }
    bool isEmpty() const override { return watchers.isEmpty(); }
    void play(const QString& name) override { sounds.push_back(name); }

    std::vector<LogLine> logLines;
    std::vector<LastTrick> lastTricks;
    int trumpCardClears = 0;
    std::vector<std::array<QString, 2>> games;
    std::vector<int> mineIncreases;
    QStringList watchers;
    QStringList sounds;
};

}  // namespace vornel::table
