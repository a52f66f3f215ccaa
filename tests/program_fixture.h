#pragma once
// The whole program under test: its settings and tally in a folder of their
// own (VORNEL_HOME), its host on a free loopback port, the computer players
// two milliseconds apart.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "app/program.h"
#include "players/simulation.h"
#include "table_test_support.h"

namespace vornel::app::test {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(home.isValid());
        qputenv("VORNEL_HOME", home.path().toLocal8Bit());
    }
    void TearDown() override {
        program.reset();
        qunsetenv("VORNEL_HOME");
    }

    // A new program (the one before it goes first), shown.
    Program& start(QStringList arguments, std::optional<quint16> port = std::nullopt) {
        program.reset();
        program = std::make_unique<Program>(std::move(arguments),
                                            Program::Options{port ? port : table::test::freePort(), &speed});
        program->start();
        return *program;
    }
    // Logged in and the settings read.
    bool loggedIn() {
        return table::test::waitUntil([&] { return program->table().state().loggedIn && program->settingsRead(); });
    }
    table::TableWindow& table() { return program->table(); }

    QString settingsPath() const { return home.filePath("zelmolobby.ini"); }
    QByteArray settingsText() const {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeSettings(const QByteArray& text) {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir home;
    FixedBotSpeed speed{2};
    std::unique_ptr<Program> program;
};

}  // namespace vornel::app::test
