#include "lobby_window/seat_keepers.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace vornel::lobby_window {

namespace {

constexpr qint64 kReadChunk = 32768;

}  // namespace

SeatKeepers::SeatKeepers(quint16 gamePort, QObject* parent) : QObject(parent), port_(gamePort) {}

SeatKeepers::~SeatKeepers() {
    for (auto& [seat, keeper] : keepers_) {
        keeper->socket->disconnect(this);
        keeper->socket->abort();
        delete keeper->socket;
    }
}

void SeatKeepers::holdAll(const std::array<std::string, 5>& names) {
    names_ = names;
    retries_ = 0;
    nextToHold_ = 2;
    holdNext();
}

void SeatKeepers::holdNext() {
    while (nextToHold_ >= 2 && nextToHold_ <= 4 && keepers_.contains(nextToHold_)) ++nextToHold_;
    if (nextToHold_ > 4) {
        nextToHold_ = 0;
        Q_EMIT allHeld();
        return;
    }
    connectKeeper(nextToHold_, names_[static_cast<std::size_t>(nextToHold_)], Purpose::HoldAll);
}

void SeatKeepers::free(int seat) {
    drop(seat);
    if (reporter() == nullptr) {
        // No keeper is left to see the seat go: the game let it go with the close.
        QTimer::singleShot(0, this, [this, seat] { Q_EMIT freed(seat); });
        return;
    }
    pendingFree_ = seat;
}

void SeatKeepers::hold(int seat, const std::string& name) {
    drop(seat);
    connectKeeper(seat, name, Purpose::Hold);
}

void SeatKeepers::releaseAll() {
    nextToHold_ = 0;
    pendingFree_ = 0;
    while (!keepers_.empty()) drop(keepers_.begin()->first);
}

bool SeatKeepers::holds(int seat) const {
    const auto it = keepers_.find(seat);
    return it != keepers_.end() && it->second->in;
}

void SeatKeepers::connectKeeper(int seat, const std::string& name, Purpose purpose) {
    auto keeper = std::make_unique<Keeper>();
    keeper->seat = seat;
    keeper->name = name;
    keeper->purpose = purpose;
    keeper->socket = new QTcpSocket();
    Keeper& k = *keeper;
    keepers_[seat] = std::move(keeper);
    connect(k.socket, &QTcpSocket::readyRead, this, [this, &k] { onReadyRead(k); });
    connect(k.socket, &QTcpSocket::disconnected, this, [this, seat] { lost(seat); });
    connect(k.socket, &QTcpSocket::errorOccurred, this, [this, seat] { lost(seat); });
    k.socket->connectToHost(QHostAddress::LocalHost, port_);
}

void SeatKeepers::onReadyRead(Keeper& keeper) {
    const int seat = keeper.seat;
    // The keeper may go while a message is handled: it is looked up again after each one.
    const auto alive = [&] {
        const auto it = keepers_.find(seat);
        return it != keepers_.end() && it->second.get() == &keeper;
    };
    char chunk[kReadChunk];
    while (alive() && keeper.socket->bytesAvailable() > 0) {
        const qint64 n = keeper.socket->read(chunk, kReadChunk);
        if (n <= 0) return;
        std::vector<std::string> messages;
        const bool fits = keeper.framer.feed(std::string_view(chunk, static_cast<std::size_t>(n)),
                                             [&](std::string_view m) { messages.emplace_back(m); });
        for (const std::string& message : messages) {
            if (!alive()) return;
            handle(keeper, message);
        }
        if (!fits) {
            lost(seat);
            return;
        }
    }
}

void SeatKeepers::handle(Keeper& keeper, std::string_view message) {
    const net::SplitMessage split = net::splitCommand(message);
    net::FieldReader reader(split.rest);
    if (split.command == "CMD_sendlogininfo") {
        if (const auto number = net::parseNumber(split.rest)) loggedIn(keeper, *number);
        return;
    }
    if (split.command == "CMD_newplayerinfo") {
        const auto number = reader.number();
        if (!number) return;
        if (*number == keeper.number && !keeper.in) {
            keeperIn(keeper);
        } else if (&keeper == reporter() && *number != 1 && !isKeeperNumber(*number)) {
            const std::string_view name = reader.remainder();
            Q_EMIT arrived(*number, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        }
        return;
    }
    if (split.command == "CMD_playerdisconnected") {
        const auto number = reader.number();
        if (number && *number == pendingFree_ && &keeper == reporter()) {
            pendingFree_ = 0;
            Q_EMIT freed(*number);
        }
        return;
    }
    if (split.command == "CMD_startgame") {
        keeper.gameStarted = true;
        askJustWatch(keeper);
        return;
    }
    if (split.command == "CMD_justwatching") {
        const auto number = reader.number();
        // Someone set the seat to be played again: a keeper cannot play it.
        if (number && *number == keeper.number && reader.remainder() != "1" && keeper.gameStarted)
            askJustWatch(keeper);
        return;
    }
    if (split.command == "CMD_full") lost(keeper.seat);
}

void SeatKeepers::loggedIn(Keeper& keeper, int number) {
    keeper.number = number;
    if (number == keeper.seat) {
        send(keeper, "CMD_logininfo", {Field::num(number), Field::txt(net::kVersion), Field::txt(keeper.name)});
        return;
    }
    const int seat = keeper.seat;
    const Purpose purpose = keeper.purpose;  // the keeper goes with drop()
    if (number == 1 && purpose == Purpose::HoldAll && retries_ < kMaxRetries) {
        // In ahead of the host's own table: step back and let it have seat 1.
        ++retries_;
        drop(seat);
        QTimer::singleShot(kRetryMs, this, [this] { holdNext(); });
        return;
    }
    drop(seat);
    if (purpose == Purpose::Hold && number > seat) {
        // Another game took the seat meanwhile (its player came late): it is not free.
        Q_EMIT held(seat);
        return;
    }
    nextToHold_ = 0;
    Q_EMIT failed(QString("Seat %1 of your game was taken by a game that the lobby did not start: the start is "
                          "called off.")
                      .arg(number < seat ? number : seat));
}

void SeatKeepers::keeperIn(Keeper& keeper) {
    keeper.in = true;
    if (keeper.purpose == Purpose::Hold) {
        Q_EMIT held(keeper.seat);
        return;
    }
    if (nextToHold_ == keeper.seat) {
        ++nextToHold_;
        holdNext();
    }
}

void SeatKeepers::lost(int seat) {
    const auto it = keepers_.find(seat);
    if (it == keepers_.end()) return;
    const bool holdingAll = nextToHold_ == seat;
    drop(seat);
    if (holdingAll) {
        nextToHold_ = 0;
        Q_EMIT failed("Your lobby could not keep the seats in your game: the start is called off.");
    }
}

void SeatKeepers::drop(int seat) {
    const auto it = keepers_.find(seat);
    if (it == keepers_.end()) return;
    QTcpSocket* socket = it->second->socket;
    keepers_.erase(it);
    socket->disconnect(this);
    socket->disconnectFromHost();
    socket->deleteLater();
}

void SeatKeepers::send(Keeper& keeper, std::string_view command, std::initializer_list<Field> fields) {
    std::string frame;
    net::appendFrame(frame, command, std::span<const Field>(fields.begin(), fields.size()));
    keeper.socket->write(frame.data(), static_cast<qint64>(frame.size()));
}

void SeatKeepers::askJustWatch(Keeper& keeper) {
    if (keeper.in) send(keeper, "CMD_justwatch", {Field::num(keeper.number), Field::txt("1")});
}

const SeatKeepers::Keeper* SeatKeepers::reporter() const {
    for (const auto& [seat, keeper] : keepers_)
        if (keeper->in) return keeper.get();
    return nullptr;
}

bool SeatKeepers::isKeeperNumber(int number) const {
    for (const auto& [seat, keeper] : keepers_)
        if (keeper->number == number) return true;
    return false;
}

}  // namespace vornel::lobby_window
