// Chat lines, actions and chatter sounds relayed by the host, and the
// entry line that sends them.

#include <QKeyEvent>

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

QColor toQColor(net::ColourValue value) {
    return QColor(net::redOf(value), net::greenOf(value), net::blueOf(value));
}

}  // namespace

QString chatterSoundCaption(int number) {
    return number >= 0 && number <= 20 ? QString::fromLatin1(kChatterSoundNames[number]) : QString();
}

void TableWindow::chatrecieved(std::string_view rest) {
    const net::ChatLine line = net::splitChatPayload(rest);
    addlinetochat(QString::fromLatin1(line.text.data(), static_cast<qsizetype>(line.text.size())), toQColor(line.colour));
}

void TableWindow::playasound(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto sender = reader.number();
    if (!sender) return;
    const std::string_view soundField = reader.field();
    const QString sound = QString::fromLatin1(soundField.data(), static_cast<qsizetype>(soundField.size())).toLower();
    if (options_.chatterSounds) {
        services_.sounds.play(sound);
        return;
    }
    const TextElement* label = board_->nameLabel(*sender);
    bool isNumber = false;
    const int number = sound.startsWith("wave") ? sound.mid(4).toInt(&isNumber) : 0;
    if (label == nullptr || !isNumber || number < 1 || number > 20) return;
    addlinetochat(label->text() + ": <Chatter Sound> " + chatterSoundCaption(number), QColor(0, 0, 255));
}

void TableWindow::sendit() {
    if (!state_.loggedIn) return;
    QString line = board_->mychat()->text();
    line.remove(QChar(0xFF));  // the terminator byte would end the message early
    const std::string bytes = line.toLatin1().toStdString();
    if (!bytes.empty() && bytes[0] != '/') {
        const std::string payload = net::makeChatPayload(bytes, options_.textColour);
        sendMessage("CMD_chat", {Field::num(state_.ownSeat), Field::txt(payload)});
    } else if (bytes.rfind("/me", 0) == 0) {
        const std::string action = bytes.size() > 4 ? bytes.substr(4) : std::string();
        const std::string payload = net::makeChatPayload(action, options_.actionColour);
        sendMessage("CMD_action", {Field::num(state_.ownSeat), Field::txt(payload)});
    }
    board_->mychat()->clear();
}

}  // namespace vornel::table
