#include "lobby_window/local_lobby.h"

#include "lobby_window/lobby_config.h"

namespace vornel::lobby_window {

void LocalLobby::Reports::report(std::string_view text) {
    Q_EMIT owner_.report(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

LocalLobby::LocalLobby(QObject* parent) : QObject(parent) {}

LocalLobby::~LocalLobby() { stop(); }

bool LocalLobby::start(quint16 port) {
    stop();
    error_.clear();
    server_ = std::make_unique<lobby::QtLobbyServer>(reports_);
    if (server_->listen(port, QHostAddress::AnyIPv4)) return true;
    error_ = "The lobby could not be started on TCP port " + QString::number(port) + ": " + server_->errorString() +
             ". Another lobby may run on this computer already.";
    server_.reset();
    return false;
}

void LocalLobby::stop() {
    if (!server_) return;
    server_->closeAll();
    server_.reset();
}

QStringList LocalLobby::addressesForOthers() const {
    QStringList addresses;
    for (const QString& address : networkAddresses())
        addresses.push_back(serverAddressText({address, port()}));
    return addresses;
}

}  // namespace vornel::lobby_window
