// The chat box and what sends to it: the entry line and its keys, the
// phrase buttons and their pause, chat lines and chatter sounds from the
// host, scroll-off, the two pop-up menus, the colour items and web
// addresses under the mouse.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <memory>

#include "net/colour_value.h"
#include "table/chat_box.h"
#include "table_test_support.h"

namespace vornel::table {
namespace {

using test::chatLines;
using test::press;
using test::SentCapture;
using test::TableFixture;
using Sent = std::vector<std::string>;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

bool sendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

// A logged-in table at seat 1 whose own lines are navy and actions green.
class Chat : public ::testing::Test {
protected:
    void SetUp() override {
        capture = std::make_unique<SentCapture>(f.table);
        ASSERT_TRUE(capture->connected());
        f.login(1);
        TableOptions options;
        options.textColour = net::kNavy;
        options.actionColour = net::kGreen;
        f.table.applyOptions(options);
        capture->takeSent();  // the login answer
    }
    QLineEdit* entry() { return f.board().mychat(); }
    QTextEdit* box() { return f.board().mainchat(); }
    void type(const QString& line) {
        entry()->setText(line);
        sendKey(entry(), Qt::Key_Return);
    }

    TableFixture f;
    std::unique_ptr<SentCapture> capture;
};

struct TypedLine {
    QString typed;
    Sent sent;
};

TEST_F(Chat, TheEntryLineSendsChatLinesAndActionsOnEnter) {
    const TypedLine cases[] = {
        {"hello", {"CMD_chat+1+hello|clNavy"}},
        {"1+1=2 | ok", {"CMD_chat+1+1+1=2 | ok|clNavy"}},
        {"/me waves", {"CMD_action+1+waves|clGreen"}},
        {"/mewaves", {"CMD_action+1+aves|clGreen"}},  // the first four characters always go
        {"/me", {"CMD_action+1+|clGreen"}},
        {"/quit now", {}},
        {"", {}},
        {QString("a") + QChar(0xFF) + "b", {"CMD_chat+1+ab|clNavy"}},  // the terminator byte never travels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        type(c.typed);
        EXPECT_EQ(capture->takeSent(), c.sent);
        EXPECT_EQ(entry()->text(), "");
    }
}

TEST_F(Chat, EnterIsSwallowedAndTheFirstKeyClearsTheInvitationWhereverTheCaretIs) {
    EXPECT_EQ(entry()->text(), "<Enter Chat Here>");
    entry()->setCursorPosition(11);  // inside the text
    sendKey(entry(), Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(entry()->text(), "x");
    sendKey(entry(), Qt::Key_Y, Qt::NoModifier, "y");
    EXPECT_EQ(entry()->text(), "xy");
    int returns = 0;
    QObject::connect(entry(), &QLineEdit::returnPressed, [&] { ++returns; });
    sendKey(entry(), Qt::Key_Enter);
    EXPECT_EQ(returns, 0) << "Enter reached the entry line";
    EXPECT_EQ(capture->takeSent(), Sent{"CMD_chat+1+xy|clNavy"});
}

TEST(ChatNotLoggedIn, TypedTextIsKeptAndNothingGoesOut) {
    TableFixture f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.board().mychat()->setText("hello");
    sendKey(f.board().mychat(), Qt::Key_Return);
    press(f.board().phraseButton(1));
    EXPECT_EQ(f.board().mychat()->text(), "hello");
    EXPECT_EQ(capture.takeSent(), Sent{});
}

TEST_F(Chat, PhraseButtonsSayTheirPhraseOrActItOut) {
    const char* builtIn[] = {"",           "Way To Go!", "Good One!", "Nice Try!",         "Excellent!",
                             "Brilliant!", "Wow, WTG!",  "Thanks!",   "Way To Go Teamie!", "Chatter Sounds"};
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(f.board().phraseButton(n)->toolTip(), builtIn[n]);
    EXPECT_EQ(f.board().phraseButton(10)->toolTip(), "Chatter Sounds");

    std::array<QString, 10> phrases;
    for (int n = 1; n <= 9; ++n) phrases[n] = f.table.phrase(n);
    phrases[2] = "/me dances";
    phrases[3] = "";
    f.table.setPhrases(phrases);
    EXPECT_EQ(f.board().phraseButton(2)->toolTip(), "/me dances");

    const std::pair<int, std::string> cases[] = {{1, "CMD_action+1+says: Way To Go!|clGreen"},
                                                 {2, "CMD_action+1+dances|clGreen"},
                                                 {3, "CMD_action+1+says: |clGreen"}};
    for (const auto& [button, sent] : cases) {
        press(f.board().phraseButton(button));
        for (int tick = 0; tick <= 100; ++tick) f.table.connection().tick();
        EXPECT_EQ(capture->takeSent(), Sent{sent});
    }
}

TEST_F(Chat, APhraseClickDuringThePauseIsLost) {
    press(f.board().phraseButton(4));
    press(f.board().phraseButton(5));  // lost, not queued
    for (int tick = 0; tick < 100; ++tick) f.table.connection().tick();
    press(f.board().phraseButton(6));  // still within the 101 ticks
    f.table.connection().tick();
    press(f.board().phraseButton(7));
    // Typed lines are not paused.
    type("typed");
    EXPECT_EQ(capture->takeSent(), (Sent{"CMD_action+1+says: Excellent!|clGreen", "CMD_action+1+says: Thanks!|clGreen",
                                         "CMD_chat+1+typed|clNavy"}));
}

struct Received {
    std::string message;
    QString line;
    QColor colour;
    QString bold;
};

TEST_F(Chat, ReceivedLinesShowInTheirColourBoldToTheFirstColon) {
    const Received cases[] = {
        {"CMD_chat+Ann chats: hi: there|clBlue", "Ann chats: hi: there", kBlue, "Ann chats:"},
        {"CMD_chat+Ann chats: a|b|clNavy", "Ann chats: a", kRed, "Ann chats:"},  // cut at the first "|"
        {"CMD_action+Ann waves|clGreen", "Ann waves", QColor(0, 128, 0), ""},
        {"CMD_action+Ann says: Thanks!|$00800080", "Ann says: Thanks!", QColor(128, 0, 128), "Ann says:"},
        {"CMD_chat+no colour at all", "no colour at all", kRed, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        f.dispatch(c.message);
        const QTextBlock block = box()->document()->lastBlock().previous();
        EXPECT_EQ(chatLines(f.table).back().text, c.line);
        EXPECT_EQ(chatLines(f.table).back().colour, c.colour);
        QString bold;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment part = it.fragment();
            EXPECT_EQ(part.charFormat().foreground().color(), c.colour);
            if (part.charFormat().fontWeight() == QFont::Bold) bold += part.text();
        }
        EXPECT_EQ(bold, c.bold);
    }
}

TEST_F(Chat, ChatterSoundsPlayOrShowAsALineWhenOff) {
    f.dispatch("CMD_newplayerinfo+2+Bob");
    const std::size_t before = chatLines(f.table).size();
    f.services.sounds.clear();
    for (const char* message : {"CMD_playasound+2+wave5+", "CMD_playasound+2+WAVE17", "CMD_playasound+2+wave21+",
                                "CMD_playasound+2+Cancel1+", "CMD_playasound+7+wave1+", "CMD_playasound+x+wave1+"})
        f.dispatch(message);
    const auto lines = chatLines(f.table);
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines[before].text, "Bob: <Chatter Sound> Where have you been?");
    EXPECT_EQ(lines[before].colour, kBlue);
    EXPECT_EQ(lines[before + 1].text, "Bob: <Chatter Sound> Cheer");
    EXPECT_EQ(f.services.sounds, QStringList{}) << "chatter sounds are off";

    f.table.action("action_chattersounds")->trigger();
    f.table.action("action_playsounds")->trigger();  // event sounds off: chatter sounds still play
    f.dispatch("CMD_playasound+2+wave5+");
    EXPECT_EQ(chatLines(f.table).size(), before + 2);
    EXPECT_EQ(f.services.sounds, QStringList{"wave5"});
}

TEST_F(Chat, TheChatterSoundMenuSendsTheChosenSound) {
    QMenu* menu = f.table.chatterMenu();
    ASSERT_EQ(menu->actions().size(), 21);
    EXPECT_EQ(menu->actions()[0]->text(), "<Cancel>");
    EXPECT_EQ(menu->actions()[20]->objectName(), "wave20");
    EXPECT_EQ(menu->actions()[20]->toolTip(), "Crying");
    press(f.board().phraseButton(10));
    EXPECT_TRUE(menu->isVisible());
    // Opens downwards with its right edge at the button's lower right corner.
    const QWidget* button = f.board().phraseButton(10);
    EXPECT_EQ(menu->geometry().top(), button->mapToGlobal(QPoint(0, button->height())).y());
    menu->hide();

    for (QAction* item : menu->actions())
        if (item->objectName() == "Cancel1" || item->objectName() == "wave3") item->trigger();
    EXPECT_EQ(capture->takeSent(), Sent{"CMD_playasound+1+wave3+"});

    TableFixture watcher;  // a watcher sends no sounds
    SentCapture watcherCapture(watcher.table);
    ASSERT_TRUE(watcherCapture.connected());
    watcher.login(5);
    watcherCapture.takeSent();  // the login answer
    watcher.table.chatterMenu()->actions()[3]->trigger();
    EXPECT_EQ(watcherCapture.takeSent(), Sent{});
}

TEST_F(Chat, ScrollOffKeepsTheViewAndBothItemsShowOneCheck) {
    for (int i = 0; i < 80; ++i) f.table.addlinetochat(QString("line %1").arg(i), Qt::black);
    QScrollBar* bar = box()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "new lines show at the end while scrolling is on";

    sendKey(box(), Qt::Key_S, Qt::ControlModifier);  // the chat box's Ctrl+S
    QAction* popupItem = box()->findChild<QAction*>("ScrollChatOff1");
    ASSERT_NE(popupItem, nullptr);
    EXPECT_TRUE(popupItem->isChecked());
    EXPECT_TRUE(f.table.action("action_scrolloff")->isChecked());
    for (int top : {bar->maximum(), 0}) {  // even at the end the view stays
        bar->setValue(top);
        f.table.addlinetochat("more", Qt::black);
        f.dispatch("CMD_chat+Ann chats: more|clBlack");
        EXPECT_EQ(bar->value(), top);
    }
    f.table.action("action_scrolloff")->trigger();
    EXPECT_FALSE(popupItem->isChecked());
    f.table.addlinetochat("last", Qt::black);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(Chat, CopyAndPasteThroughTheBoxesOwnMenus) {
    EXPECT_EQ(box()->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(entry()->contextMenuPolicy(), Qt::CustomContextMenu);
    f.table.addlinetochat("Ann chats: copy me", Qt::black);
    QTextCursor selection(box()->document());
    selection.setPosition(11);
    selection.setPosition(15, QTextCursor::KeepAnchor);
    box()->setTextCursor(selection);
    QApplication::clipboard()->clear();
    sendKey(box(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "copy");

    entry()->setText("abc");
    QApplication::clipboard()->setText("pasted");
    sendKey(entry(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry()->text(), "pasted") << "Paste replaces the whole entry line";
    QApplication::clipboard()->clear();
    entry()->findChild<QAction*>("Paste1")->trigger();
    EXPECT_EQ(entry()->text(), "pasted") << "an empty clipboard leaves the line";
}

TEST_F(Chat, TheColourItemsSetTheOwnColoursAndSave) {
    int saves = 0;
    QObject::connect(&f.table, &TableWindow::optionsChanged, [&] { ++saves; });
    f.table.action("action_textcolor")->trigger();
    auto* first = f.table.findChild<QColorDialog*>("ColorDialog1");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->currentColor(), QColor(0, 0, 128));
    first->setCurrentColor(QColor(200, 10, 20));
    first->reject();  // cancelled: nothing changes, nothing is saved
    EXPECT_EQ(f.table.options().textColour, net::kNavy);
    EXPECT_EQ(saves, 0);
    f.table.action("action_textcolor")->trigger();
    first->setCurrentColor(QColor(200, 10, 20));
    first->accept();
    EXPECT_EQ(f.table.options().textColour, net::colourFromRgb(200, 10, 20));
    EXPECT_EQ(entry()->palette().color(QPalette::Text), QColor(200, 10, 20));
    EXPECT_EQ(saves, 1);

    f.table.action("action_actioncolor")->trigger();
    auto* second = f.table.findChild<QColorDialog*>("ColorDialog2");
    ASSERT_NE(second, nullptr);
    second->setCurrentColor(Qt::red);
    second->reject();  // saved however it closes
    EXPECT_EQ(f.table.options().actionColour, net::kGreen);
    EXPECT_EQ(saves, 2);
}

struct AddressCase {
    QString text;
    int position;
    QString address;  // empty: none
};

TEST(WebAddress, FoundByPrefixTrimmedAndOnlyUnderTheAddress) {
    const AddressCase cases[] = {
        {"see www.example.com.", 8, "www.example.com"},
        {"see WWW.Example.com, ok", 5, "WWW.Example.com"},
        {"http://a.b/c", 0, "http://a.b/c"},
        {"FTP://files.org/pub/", 3, "FTP://files.org/pub/"},
        {"file://server/share/x.exe", 10, "file://server/share/x.exe"},
        {"gopher://hole.net", 9, "gopher://hole.net"},
        {"telnet://bbs.org:23", 2, "telnet://bbs.org:23"},
        {"news:comp.games", 6, "news:comp.games"},
        {"(mailto:me@x.org)", 5, "mailto:me@x.org"},
        {"\"http://q.org/\"),", 3, "http://q.org/"},
        {"www.x.com/http://y.z", 2, ""},            // the "http://" prefix is searched first...
        {"www.x.com/http://y.z", 12, "http://y.z"},  // ...and the address starts there
        {"go http://a.b\nnext", 5, "http://a.b"},
        {"go http://a.b\nnext", 15, ""},
        {"www.", 1, ""},
        {"http://", 2, ""},
        {"http://...", 2, ""},
        {"see www.example.com", 2, ""},   // a blank is not part of it
        {"see www.example.com", 3, ""},
        {"see www.example.com", 19, ""},  // past the end
        {"see www.example.com", -1, ""},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " @" + std::to_string(c.position));
        const WebAddress found = findWebAddress(c.text, c.position);
        EXPECT_EQ(found.text, c.address);
        EXPECT_EQ(found.found(), !c.address.isEmpty());
        if (found.found()) {
            EXPECT_EQ(c.text.mid(found.start, found.text.size()), c.address);
        }
    }
}

TEST_F(Chat, PointingAtAnAddressShowsTheHandAndAClickOpensItButNeverAFile) {
    f.dispatch("CMD_chat+Ann chats: visit www.example.com. or file://server/share/run.exe now|clBlack");
    const QTextBlock block = box()->document()->lastBlock().previous();
    auto pointAt = [&](const QString& word) {
        QTextCursor cursor(box()->document());
        cursor.setPosition(block.position() + static_cast<int>(block.text().indexOf(word)) + 1);
        return box()->cursorRect(cursor).center() + QPoint(2, 0);
    };
    auto mouse = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, box()->viewport()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box()->viewport(), &event);
    };
    std::vector<QUrl> opened;
    QObject::connect(&f.table, &TableWindow::openWebAddress, [&](const QUrl& url) { opened.push_back(url); });

    mouse(QEvent::MouseMove, pointAt("example"));
    EXPECT_EQ(box()->viewport()->cursor().shape(), Qt::PointingHandCursor);
    mouse(QEvent::MouseMove, pointAt("visit"));
    EXPECT_NE(box()->viewport()->cursor().shape(), Qt::PointingHandCursor);

    mouse(QEvent::MouseButtonPress, pointAt("example"));
    EXPECT_EQ(box()->textCursor().selectedText(), "www.example.com");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("http://www.example.com"));

    mouse(QEvent::MouseMove, pointAt("share"));
    EXPECT_EQ(box()->viewport()->cursor().shape(), Qt::PointingHandCursor);
    mouse(QEvent::MouseButtonPress, pointAt("share"));
    EXPECT_EQ(box()->textCursor().selectedText(), "file://server/share/run.exe");
    EXPECT_EQ(opened.size(), 1u) << "a file address was handed to the system";
}

}  // namespace
}  // namespace vornel::table
