// The social side of the table: chat lines, actions and chatter sounds
// relayed by the host, the entry line that sends them, the phrase buttons,
// the chat box's menus and web addresses, and the chat items of Options.

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "net/colour_value.h"
#include "net/protocol.h"
#include "table/chat_box.h"
#include "table/table_window.h"

namespace vornel::table {

namespace {

const char* const kChatterSoundNames[] = {
    "<Cancel>",   "Doh",       "Cough", "Hello",   "Thank You", "Where have you been?", "Snoring",
    "Sneezing",   "Sorry",     "Welcome", "Yeehaa", "Yippee",   "Oh No",               "Applause",
    "Honk",       "Oooh",      "Razzberry", "Cheer", "Woman Laughing", "Man Laughing",  "Crying"};

const char* const kBuiltInPhrases[] = {"",         "Way To Go!", "Good One!", "Nice Try!",         "Excellent!",
                                       "Brilliant!", "Wow, WTG!", "Thanks!",   "Way To Go Teamie!", "Chatter Sounds"};

const QString kInvitation = QStringLiteral("<Enter Chat Here>");

// The phrase buttons wait this many ticks of the message timer after a phrase.
constexpr int kPhrasePauseTicks = 100;

QColor toQColor(net::ColourValue value) {
    return QColor(net::redOf(value), net::greenOf(value), net::blueOf(value));
}

net::ColourValue toColourValue(const QColor& colour) {
    return net::colourFromRgb(colour.red(), colour.green(), colour.blue());
}

// What a typed line or phrase carries on the wire: Latin-1 bytes without the
// terminator byte, which would end the message early.
std::string wireText(QString text) {
    text.remove(QChar(0xFF));
    return text.toLatin1().toStdString();
}

}  // namespace

QString chatterSoundCaption(int number) {
    return number >= 0 && number <= 20 ? QString::fromLatin1(kChatterSoundNames[number]) : QString();
}

QString builtInPhrase(int button) {
    return button >= 1 && button <= 9 ? QString::fromLatin1(kBuiltInPhrases[button]) : QString();
}

void TableWindow::connectChat() {
    for (int n = 1; n <= 9; ++n) {
        phrases_[n] = builtInPhrase(n);
        board_->phraseButton(n)->setToolTip(phrases_[n]);
        connect(board_->phraseButton(n), &ImageElement::pressed, this, [this, n](Qt::MouseButton button) {
            if (button == Qt::LeftButton) b_phrase1Click(n);
        });
    }
    connect(board_->phraseButton(10), &ImageElement::pressed, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) b_phrase10Click();
    });
    connection_.setTickHook([this] { return phraseTick(); });

    chatterMenu_ = new QMenu(this);
    chatterMenu_->setObjectName("popup_chattersounds");
    chatterMenu_->setToolTipsVisible(true);
    for (int number = 0; number <= 20; ++number) {
        QAction* item = chatterMenu_->addAction(chatterSoundCaption(number));
        item->setObjectName(number == 0 ? QString("Cancel1") : QString("wave%1").arg(number));
        item->setToolTip(chatterSoundCaption(number));
        item->setData(number);
        connect(item, &QAction::triggered, this, [this, number] { wave20Click(number); });
    }

    // The chat box's menu and the entry line's, in place of the toolkit's.
    // Their keys are handled by the two boxes (eventFilter); on the menus
    // they only show.
    auto menuItem = [](QMenu* menu, const char* name, const QString& caption, QKeySequence keys) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WidgetShortcut);
        return item;
    };
    QTextEdit* box = board_->mainchat();
    chatMenu_ = new QMenu(box);
    chatMenu_->setObjectName("popup_mainchat");
    connect(menuItem(chatMenu_, "Copy1", "Copy", QKeySequence("Ctrl+C")), &QAction::triggered, this,
            &TableWindow::copy1Click);
    QAction* scrollOff = menuItem(chatMenu_, "ScrollChatOff1", "Scroll Chat Off", QKeySequence("Ctrl+S"));
    scrollOff->setCheckable(true);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](QPoint at) { chatMenu_->popup(box->viewport()->mapToGlobal(at)); });
    chatCursor_ = box->viewport()->cursor().shape();
    box->viewport()->setMouseTracking(true);
    box->viewport()->installEventFilter(this);
    box->installEventFilter(this);

    QLineEdit* entry = board_->mychat();
    entryMenu_ = new QMenu(entry);
    entryMenu_->setObjectName("popup_mychat");
    connect(menuItem(entryMenu_, "Paste1", "Paste", QKeySequence("Ctrl+V")), &QAction::triggered, this,
            &TableWindow::paste1Click);
    entry->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(entry, &QWidget::customContextMenuRequested, this,
            [this, entry](QPoint at) { entryMenu_->popup(entry->mapToGlobal(at)); });
    entry->installEventFilter(this);

    for (QAction* item : {scrollOff, action("action_scrolloff")})
        connect(item, &QAction::triggered, this, [this] { setScrollOff(!chat_->scrollOff()); });
    connect(action("action_textcolor"), &QAction::triggered, this, [this] { chooseColour(false); });
    connect(action("action_actioncolor"), &QAction::triggered, this, [this] { chooseColour(true); });
}

// The entry line's colour and the phrases, as the settings file gives them.
// Only here, as the file is read, does an empty phrase mean the button's
// built-in one: an emptied phrase stays empty for the rest of the run.
void TableWindow::applyChatOptions() {
    applyTextColour();
    for (int n = 1; n <= 9; ++n) {
        phrases_[n] = options_.phrases[n].isEmpty() ? builtInPhrase(n) : options_.phrases[n];
        board_->phraseButton(n)->setToolTip(phrases_[n]);
    }
}

void TableWindow::applyTextColour() {
    QPalette palette = board_->mychat()->palette();
    palette.setColor(QPalette::Text, toQColor(options_.textColour));
    board_->mychat()->setPalette(palette);
}

QString TableWindow::phrase(int button) const { return button >= 1 && button <= 9 ? phrases_[button] : QString(); }

void TableWindow::setPhrases(const std::array<QString, 10>& phrases) {
    for (int n = 1; n <= 9; ++n) {
        phrases_[n] = phrases[n];
        options_.phrases[n] = phrases[n];
        board_->phraseButton(n)->setToolTip(phrases_[n]);
    }
}

void TableWindow::chatrecieved(std::string_view rest) {
    const net::ChatLine line = net::splitChatPayload(rest);
    addlinetochat(QString::fromLatin1(line.text.data(), static_cast<qsizetype>(line.text.size())),
                  toQColor(line.colour));
}

void TableWindow::playasound(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto sender = reader.number();
    if (!sender) return;
    const std::string_view soundField = reader.field();
    const QString sound = QString::fromLatin1(soundField.data(), static_cast<qsizetype>(soundField.size()));
    if (options_.chatterSounds) {
        services_->sounds.play(sound);
        return;
    }
    const TextElement* label = board_->nameLabel(*sender);
    if (label == nullptr || sound.compare("Cancel1", Qt::CaseInsensitive) == 0) return;
    for (const QAction* item : chatterMenu_->actions()) {
        if (item->objectName().compare(sound, Qt::CaseInsensitive) != 0) continue;
        addlinetochat(label->text() + ": <Chatter Sound> " + item->toolTip(), QColor(0, 0, 255));
        return;
    }
}

void TableWindow::sendit() {
    if (!state_.loggedIn) return;
    const std::string line = wireText(board_->mychat()->text());
    if (!line.empty() && line[0] != '/') {
        sendMessage("CMD_chat",
                    {Field::num(state_.ownSeat), Field::txt(net::makeChatPayload(line, options_.textColour))});
    } else if (line.rfind("/me", 0) == 0) {
        // The four characters "/me " are dropped, whatever the fourth is.
        const std::string text = line.size() > 4 ? line.substr(4) : std::string();
        sendMessage("CMD_action",
                    {Field::num(state_.ownSeat), Field::txt(net::makeChatPayload(text, options_.actionColour))});
    }
    board_->mychat()->clear();
}

void TableWindow::b_phrase1Click(int button) {
    if (!state_.loggedIn || !phrasePauseOpen_) return;
    const std::string text = wireText(phrase(button));
    const std::string action = text.rfind("/me ", 0) == 0 ? text.substr(4) : "says: " + text;
    sendMessage("CMD_action",
                {Field::num(state_.ownSeat), Field::txt(net::makeChatPayload(action, options_.actionColour))});
    phrasePauseOpen_ = false;
    phrasePauseTicks_ = 0;
    connection_.wake();
}

bool TableWindow::phraseTick() {
    if (phrasePauseOpen_) return false;
    if (++phrasePauseTicks_ > kPhrasePauseTicks) {
        phrasePauseOpen_ = true;
        phrasePauseTicks_ = 0;
    }
    return !phrasePauseOpen_;
}

void TableWindow::b_phrase10Click() {
    // Opens downwards, its right edge at the button's lower right corner.
    const ImageElement* button = board_->phraseButton(10);
    // rect() is the button as shown, at the board's scale.
    const QPoint corner = button->mapToGlobal(button->rect().bottomRight() + QPoint(1, 1));
    chatterMenu_->popup(corner - QPoint(chatterMenu_->sizeHint().width(), 0));
}

void TableWindow::wave20Click(int number) {
    if (number < 1 || number > 20 || state_.ownSeat < 1 || state_.ownSeat > 4) return;
    const std::string sound = "wave" + std::to_string(number);
    sendMessage("CMD_playasound", {Field::num(state_.ownSeat), Field::txt(sound)});
}

void TableWindow::setScrollOff(bool off) {
    chat_->setScrollOff(off);
    for (QAction* item : {chatMenu_->findChild<QAction*>("ScrollChatOff1"), action("action_scrolloff")}) {
        const QSignalBlocker quiet(item);
        item->setChecked(off);
    }
}

// "Text Color" and "Action Color": the first and second colour dialogs,
// not modal, so the table goes on while the player chooses.
void TableWindow::chooseColour(bool actionColour) {
    const QString name = actionColour ? "ColorDialog2" : "ColorDialog1";
    auto* dialog = findChild<QColorDialog*>(name);
    if (dialog == nullptr) {
        dialog = new QColorDialog(this);
        dialog->setObjectName(name);
        connect(dialog, &QDialog::finished, this, [this, dialog, actionColour](int result) {
            const bool confirmed = result == QDialog::Accepted;
            const net::ColourValue chosen = toColourValue(dialog->selectedColor());
            if (confirmed) (actionColour ? options_.actionColour : options_.textColour) = chosen;
            if (confirmed && !actionColour) applyTextColour();
            // The action colour is saved however its dialog closes.
            if (confirmed || actionColour) Q_EMIT optionsChanged();
        });
    }
    dialog->setCurrentColor(toQColor(actionColour ? options_.actionColour : options_.textColour));
    dialog->open();
}

void TableWindow::copy1Click() {
    const QString selected = board_->mainchat()->textCursor().selection().toPlainText();
    if (!selected.isEmpty()) QApplication::clipboard()->setText(selected);
}

void TableWindow::paste1Click() {
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty()) board_->mychat()->setText(text);
}

bool TableWindow::mychatKeyPress(QKeyEvent* event) {
    QLineEdit* entry = board_->mychat();
    // `mychatKeyDown`: the first key replaces the invitation, caret or not.
    if (entry->text() == kInvitation) entry->clear();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        sendit();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        paste1Click();
        return true;
    }
    return false;
}

// `mainchatMouseMove` and `mainchatMouseDown`: web addresses in the box.
bool TableWindow::mainchatMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    QTextEdit* box = board_->mainchat();
    const WebAddress address = chat_->webAddressAt(mouse->position().toPoint());
    if (event->type() == QEvent::MouseMove) {
        box->viewport()->setCursor(address.found() ? Qt::PointingHandCursor : chatCursor_);
        return false;
    }
    if (mouse->button() != Qt::LeftButton || !address.found()) return false;
    QTextCursor selection(box->document());
    selection.setPosition(address.start);
    selection.setPosition(address.start + static_cast<int>(address.text.size()), QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    // Text a remote player wrote: never a program or share on this machine.
    const QUrl url = QUrl::fromUserInput(address.text);
    if (!address.isFile() && url.isValid() && !url.isLocalFile()) Q_EMIT openWebAddress(url);
    return true;
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == board_->mychat() && event->type() == QEvent::KeyPress)
        return mychatKeyPress(static_cast<QKeyEvent*>(event));
    if (watched == board_->mainchat() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copy1Click();
            return true;
        }
        if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
            setScrollOff(!chat_->scrollOff());
            return true;
        }
    }
    if (watched == board_->mainchat()->viewport() &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress))
        return mainchatMouse(event);
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vornel::table
