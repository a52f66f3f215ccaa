// The program's side of chat and sounds: the phrase editor and its settings
// keys across a restart, the chat settings applied at login, the real sound
// player behind the table, and options changed before login that leave the
// settings file alone.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QTemporaryDir>

#include "app/phrase_editor.h"
#include "app/program.h"
#include "players/simulation.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;

class ProgramChat : public test::ProgramFixture {
protected:
    Program& startSolo() {
        Program& p = start({});
        EXPECT_TRUE(loggedIn());
        return p;
    }
};

TEST_F(ProgramChat, DoneStoresThePhrasesAndAnEmptyOneIsBuiltInAfterARestart) {
    Program& p = startSolo();
    p.table().action("action_phraselist")->trigger();
    PhraseEditor& editor = p.phraseEditor();
    ASSERT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.windowTitle(), "Vornel - Phrase Buttons");
    EXPECT_EQ(editor.edit(1).text(), "Way To Go!");
    EXPECT_EQ(editor.edit(9).text(), "Chatter Sounds");
    EXPECT_EQ(editor.edit(1).maxLength(), 50);
    editor.edit(1).setText("Hi all");
    editor.edit(3).setText("");
    editor.doneButton().click();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(p.table().phrase(1), "Hi all");
    EXPECT_EQ(p.table().phrase(3), "") << "until the restart the button sends \"says: \" alone";
    EXPECT_EQ(p.table().board().phraseButton(1)->toolTip(), "Hi all");
    const QByteArray stored = settingsText();
    EXPECT_TRUE(stored.contains("Phrase1=Hi all\n")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("Phrase3=\n")) << stored.toStdString();

    // Edits thrown away by closing the window are not kept.
    p.table().action("action_phraselist")->trigger();
    editor.edit(2).setText("never kept");
    editor.close();
    EXPECT_EQ(p.table().phrase(2), "Good One!");

    Program& again = startSolo();
    EXPECT_EQ(again.table().phrase(1), "Hi all");
    EXPECT_EQ(again.table().phrase(3), "Nice Try!");
}

// The colour dialogs change colours only: a phrase emptied in the editor
// stays empty, and its button goes on saying nothing after "says: ".
TEST_F(ProgramChat, AnEmptiedPhraseStaysEmptyWhenAColourIsChosen) {
    struct Case {
        const char* item;
        const char* dialog;
        int phraseButton;
    };
    const Case cases[] = {{"action_textcolor", "ColorDialog1", 3}, {"action_actioncolor", "ColorDialog2", 5}};
    Program& p = startSolo();
    p.table().action("action_phraselist")->trigger();
    PhraseEditor& editor = p.phraseEditor();
    editor.edit(3).setText("");
    editor.edit(5).setText("");
    editor.doneButton().click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        p.table().action(c.item)->trigger();
        auto* dialog = p.table().findChild<QColorDialog*>(c.dialog);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(20, 120, 40));
        dialog->accept();
        EXPECT_EQ(p.table().phrase(c.phraseButton), QString());
        EXPECT_EQ(p.table().board().phraseButton(c.phraseButton)->toolTip(), QString());

        // Through the host and back into the chat box, as every table sees it.
        const auto saysLines = [&] {
            int n = 0;
            for (const auto& line : table::test::chatLines(p.table())) n += line.text.startsWith("You says:") ? 1 : 0;
            return n;
        };
        const int before = saysLines();
        for (int tick = 0; tick <= 100; ++tick) p.table().connection().tick();  // the phrase pause is over
        table::test::press(p.table().board().phraseButton(c.phraseButton));
        ASSERT_TRUE(waitUntil([&] { return saysLines() > before; }, 10000));
        EXPECT_EQ(table::test::chatLines(p.table()).back().text.trimmed(), QString("You says:"));
    }
}

TEST_F(ProgramChat, LoginAppliesTheTextColourAndThePhrasesAndTheTablePlaysThroughThePlayer) {
    writeSettings("[Vornel]\nTextcolor=clRed\nActioncolor=$00008000\nPhrase5=Go team\nPhrase6=\n");
    Program& p = startSolo();
    EXPECT_EQ(p.table().board().mychat()->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(p.table().phrase(5), "Go team");
    EXPECT_EQ(p.table().board().phraseButton(5)->toolTip(), "Go team");
    EXPECT_EQ(p.table().phrase(6), "Wow, WTG!");
    EXPECT_EQ(&p.table().services().sounds, static_cast<table::SoundSink*>(&p.sounds()));
    p.table().playsounds("Entered");
    EXPECT_EQ(p.sounds().current(), "entered");
}

// The settings are read as the own arrival is announced, just before its
// sound: from then on "Play Sounds" is what the file says, and the menu item
// still switches the event sounds.
TEST_F(ProgramChat, EventSoundsFollowPlaySoundsFromTheSettingsReadAtLogin) {
    struct Case {
        const char* settings;  // nullptr: no settings file
        bool on;
    };
    const Case cases[] = {{nullptr, true},
                          {"[Vornel]\nPlaysounds=true\n", true},
                          {"[Vornel]\nPlaysounds=false\nChatterSounds=true\n", false},
                          {"[Vornel]\nPlaysounds=False\n", true},
                          {"[Vornel]\nPlaysounds=\nTurnsound=1\n", true}};
    for (const Case& c : cases) {
        const std::string what = c.settings ? c.settings : "no settings file";
        if (c.settings) writeSettings(c.settings);
        else QFile::remove(settingsPath());
        Program& p = startSolo();
        EXPECT_EQ(p.table().options().playSounds, c.on) << what;
        EXPECT_EQ(p.sounds().current(), c.on ? "entered" : "") << what << ": the own arrival's sound";
        p.table().playsounds("getcard");
        EXPECT_EQ(p.sounds().current(), c.on ? "getcard" : "") << what;
        p.table().action("action_playsounds")->trigger();
        p.table().playsounds("placecard");
        EXPECT_EQ(p.sounds().current(), c.on ? "getcard" : "placecard") << what << ": switched by the menu";
    }
}

TEST_F(ProgramChat, OptionsChangedBeforeLoginLeaveTheSettingsFileAsItWas) {
    const QByteArray original = "[Vornel]\nTextsize=12\nPlaysounds=false\nTurnsound=1\nBotspeed=750\nPhrase2=Mine\n";
    writeSettings(original);
    Program& p = start({"Ann"});  // one argument: no connection, no login
    ASSERT_TRUE(waitUntil([&] { return !table::test::chatLines(p.table()).empty(); }));
    for (const char* item : {"action_playsounds", "action_chattersounds", "action_turnclassic", "action_size8",
                             "action_fast", "action_scorecardontop", "action_lasttrickontop"})
        p.table().action(item)->trigger();
    EXPECT_EQ(p.table().options().textSize, 8) << "the change applies to this run";
    EXPECT_EQ(settingsText(), original);
    p.table().close();
    EXPECT_EQ(settingsText(), original);
}

}  // namespace
}  // namespace vornel::app
