#include "table_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include "net/protocol.h"

namespace vornel::table::test {

bool waitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    // A closing window may ask every event loop to quit; wait again then.
    while (!done() && clock.elapsed() < limitMs) {
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(2);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done() || clock.elapsed() >= limitMs) loop.quit();
        });
        poll.start();
        loop.exec();
    }
    return done();
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void press(QWidget* widget, Qt::MouseButton button) {
    ASSERT_NE(widget, nullptr);
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

bool shows(const QLabel* element, const QPixmap& picture) {
    if (element == nullptr || picture.isNull()) return false;
    const QPixmap shown = element->pixmap();
    return !shown.isNull() && shown.toImage() == picture.toImage();
}

bool showsNothing(const QLabel* element) { return element != nullptr && element->pixmap().isNull(); }

std::vector<ChatLine> chatLines(TableWindow& table) {
    std::vector<ChatLine> lines;
    const QTextDocument* document = table.board().mainchat()->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty()) continue;
        QColor colour;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            colour = fragment.fragment().charFormat().foreground().color();
        lines.push_back({block.text(), colour});
    }
    return lines;
}

QColor textColour(const QWidget* label) { return label->palette().color(QPalette::WindowText); }

void TableFixture::login(int seat) { dispatch("CMD_sendlogininfo+" + std::to_string(seat)); }

ImageElement* TableFixture::cardAt(int position) {
    const int slot = game().slotAtPosition(position);
    return slot == -1 ? nullptr : card(slot);
}

SentCapture::SentCapture(TableWindow& table) : table_(table) {
    if (!server_.listen(QHostAddress::LocalHost, 0)) return;
    table_.connection().connectToHost("127.0.0.1", server_.serverPort());
    waitUntil([&] { return server_.hasPendingConnections() && table_.connection().isOpen(); }, 30000);
    peer_ = server_.nextPendingConnection();
}

std::vector<std::string> SentCapture::takeSent() {
    std::vector<std::string> messages;
    if (!connected()) return messages;
    const std::string marker = "CMD_testmarker+" + std::to_string(++markers_);
    table_.connection().sendText(marker);
    bool seen = false;
    waitUntil([&] {
        const QByteArray bytes = peer_->readAll();
        received_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        std::size_t end;
        while (!seen && (end = received_.find(net::kTerminator)) != std::string::npos) {
            std::string message = received_.substr(0, end);
            received_.erase(0, end + 1);
            if (message == marker) seen = true;
            else if (!message.empty()) messages.push_back(std::move(message));
        }
        return seen;
    }, 30000);
    EXPECT_TRUE(seen) << "the table's marker never arrived";
    return messages;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace vornel::table::test
