#include "lobby_window/first_screen.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lobby/lobby_protocol.h"
#include "lobby_window/lobby_look.h"
#include "table/board.h"

namespace vornel::lobby_window {

QString localLobbyText(const QStringList& addresses, quint16 port) {
    if (addresses.isEmpty())
        return "The lobby runs on this computer (TCP port " + QString::number(port) +
               "), but this computer has no network address the others could type: connect it to your network.";
    return "The lobby runs on this computer. The others type " +
           (addresses.size() == 1 ? "this" : QString("one of these")) + " as the lobby server: " +
           addresses.join(", ") + ". Your firewall must let TCP port " + QString::number(port) + " in.";
}

FirstScreen::FirstScreen(const QPixmap& logo, QWidget* parent) : QWidget(parent) {
    setObjectName("first_screen");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(40, 24, 40, 24);
    column->setSpacing(12);

    auto* picture = new QLabel(this);
    picture->setPixmap(logo);
    column->addWidget(picture, 0, Qt::AlignHCenter);
    column->addWidget(makeLabel("The Zelmo7 Lobby", table::kTanColour, 16, true, this), 0, Qt::AlignHCenter);
    QLabel* intro = makeLabel("Meet other players, sit down at a table together, and the lobby starts Vornel for "
                              "every one of you: nobody types an address.",
                              table::kBlueColour, 10, false, this);
    intro->setWordWrap(true);
    intro->setAlignment(Qt::AlignHCenter);
    column->addWidget(intro);

    auto* form = new QFormLayout();
    form->setLabelAlignment(Qt::AlignRight);
    name_ = new QLineEdit(this);
    name_->setObjectName("edit_name");
    name_->setMaxLength(static_cast<int>(lobby::kMaxNameLength));
    name_->setPlaceholderText("1 to 20 characters");
    name_->setFont(lobbyFont(10));
    server_ = new QLineEdit(this);
    server_->setObjectName("edit_server");
    server_->setPlaceholderText("the lobby server's address, or address:port");
    server_->setFont(lobbyFont(10));
    form->addRow(makeLabel("Your name:", table::kTanColour, 10, true, this), name_);
    form->addRow(makeLabel("Lobby server:", table::kTanColour, 10, true, this), server_);
    column->addLayout(form);

    connect_ = new QPushButton("Connect", this);
    connect_->setObjectName("button_connect");
    connect_->setDefault(true);
    column->addWidget(connect_, 0, Qt::AlignHCenter);

    QLabel* home = makeLabel("Playing with others on your home network? One of you starts the lobby on his "
                             "computer, and the others connect to it:",
                             table::kBlueColour, 10, false, this);
    home->setWordWrap(true);
    column->addWidget(home);
    startLobby_ = new QPushButton("Start a lobby on this computer", this);
    startLobby_->setObjectName("button_startlobby");
    column->addWidget(startLobby_, 0, Qt::AlignHCenter);
    addresses_ = makeLabel(QString(), table::kTanColour, 10, true, this);
    addresses_->setObjectName("label_addresses");
    addresses_->setWordWrap(true);
    addresses_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addresses_->hide();
    column->addWidget(addresses_);

    status_ = makeLabel(QString(), kNoticeColour, 10, false, this);
    status_->setObjectName("label_status");
    status_->setWordWrap(true);
    column->addWidget(status_);
    column->addStretch(1);

    connect(connect_, &QPushButton::clicked, this, &FirstScreen::connectRequested);
    connect(name_, &QLineEdit::returnPressed, this, &FirstScreen::connectRequested);
    connect(server_, &QLineEdit::returnPressed, this, &FirstScreen::connectRequested);
    connect(startLobby_, &QPushButton::clicked, this, &FirstScreen::startLobbyRequested);
}

QString FirstScreen::name() const { return name_->text(); }
QString FirstScreen::server() const { return server_->text(); }
void FirstScreen::setName(const QString& name) { name_->setText(name); }
void FirstScreen::setServer(const QString& server) { server_->setText(server); }

void FirstScreen::setStatus(const QString& text, bool problem) {
    status_->setText(text);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, problem ? kProblemColour : kNoticeColour);
    status_->setPalette(palette);
}

void FirstScreen::setLocalLobby(const QStringList& addresses, quint16 port) {
    addresses_->setVisible(port != 0);
    addresses_->setText(port != 0 ? localLobbyText(addresses, port) : QString());
    startLobby_->setEnabled(port == 0);
}

void FirstScreen::setBusy(bool busy) {
    connect_->setEnabled(!busy);
    name_->setEnabled(!busy);
    server_->setEnabled(!busy);
}

}  // namespace vornel::lobby_window
