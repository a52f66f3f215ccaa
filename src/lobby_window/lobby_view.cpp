#include "lobby_window/lobby_view.h"

#include <algorithm>

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>

#include "lobby_window/lobby_look.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window/typed_text.h"
#include "table/board.h"
#include "table/chat_box.h"

namespace vornel::lobby_window {

namespace {

constexpr int kNumberRole = Qt::UserRole;
// The chat entry's text until the player starts to type, as the game's.
const QString kEntryHint = "<Enter Chat Here>";

QString seatText(const std::string& name) { return name.empty() ? QString("Open") : fromLatin1(name); }

QString whereText(const lobby::PlayerRecord& player) {
    switch (player.state) {
    case lobby::PlayerState::Lobby: return "in the lobby";
    case lobby::PlayerState::Table: return QString("at table %1").arg(player.table);
    case lobby::PlayerState::Playing:
        return player.table != 0 ? QString("playing at table %1").arg(player.table) : QString("playing");
    }
    return {};
}

QTreeWidget* makeList(const char* name, const QStringList& headings, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setHeaderLabels(headings);
    list->setRootIsDecorated(false);
    list->setFont(lobbyFont(9));
    list->header()->setFont(lobbyFont(9, true));
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, Qt::white);
    list->setPalette(palette);
    return list;
}

}  // namespace

LobbyView::LobbyView(LobbySession& session, const QPixmap& logo, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName("lobby_view");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    whereabouts_ = makeLabel(QString(), table::kTanColour, 11, true, this);
    whereabouts_->setObjectName("label_whereabouts");
    localLobby_ = makeLabel(QString(), table::kBlueColour, 9, false, this);
    localLobby_->setObjectName("label_locallobby");
    localLobby_->setWordWrap(true);
    localLobby_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    localLobby_->hide();
    auto* top = new QVBoxLayout();
    top->addWidget(whereabouts_);
    top->addWidget(localLobby_);
    top->addStretch(1);
    grid->addLayout(top, 0, 0);
    auto* picture = new QLabel(this);
    picture->setPixmap(logo);
    grid->addWidget(picture, 0, 1, Qt::AlignRight);

    grid->addWidget(makeLabel("Tables", table::kTanColour, 10, true, this), 1, 0);
    tables_ = makeList("list_tables", {"No.", "Title", "Host", "Seat 2", "Seat 3", "Seat 4", "Watchers", "State"}, this);
    tables_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->addWidget(tables_, 2, 0);

    auto* titleRow = new QHBoxLayout();
    titleRow->addWidget(makeLabel("Title:", table::kTanColour, 9, true, this));
    title_ = new QLineEdit(this);
    title_->setObjectName("edit_title");
    title_->setMaxLength(static_cast<int>(lobby::kMaxTitleLength));
    titleRow->addWidget(title_, 1);
    newTable_ = button("New Table", "button_newtable");
    titleRow->addWidget(newTable_);
    grid->addLayout(titleRow, 3, 0);

    auto* buttons = new QHBoxLayout();
    sit_ = button("Sit", "button_sit");
    watch_ = button("Watch", "button_watch");
    standUp_ = button("Stand Up", "button_standup");
    leave_ = button("Leave Table", "button_leave");
    start_ = button("Start", "button_start");
    remove_ = button("Remove", "button_remove");
    for (QPushButton* b : {sit_, watch_, standUp_, leave_, start_, remove_}) buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 4, 0);

    probePanel_ = new QFrame(this);
    probePanel_->setObjectName("panel_probe");
    probePanel_->setFrameShape(QFrame::Box);
    probePanel_->setAutoFillBackground(true);
    QPalette panelPalette = probePanel_->palette();
    panelPalette.setColor(QPalette::Window, Qt::white);
    probePanel_->setPalette(panelPalette);
    auto* panel = new QHBoxLayout(probePanel_);
    probeText_ = makeLabel(QString(), kProblemColour, 9, false, probePanel_);
    probeText_->setObjectName("label_probe");
    probeText_->setWordWrap(true);
    panel->addWidget(probeText_, 1);
    auto* panelButtons = new QVBoxLayout();
    startAnyway_ = new QPushButton("Start anyway", probePanel_);
    startAnyway_->setObjectName("button_startanyway");
    auto* dismiss = new QPushButton("Not now", probePanel_);
    dismiss->setObjectName("button_notnow");
    panelButtons->addWidget(startAnyway_);
    panelButtons->addWidget(dismiss);
    panelButtons->addStretch(1);
    panel->addLayout(panelButtons);
    probePanel_->hide();
    grid->addWidget(probePanel_, 5, 0);

    grid->addWidget(makeLabel("Lobby Chat", table::kTanColour, 10, true, this), 6, 0);
    chatBox_ = makeChatBox(this);
    chatBox_->setObjectName("lobbychat");
    chat_ = std::make_unique<table::ChatBox>(*chatBox_);
    grid->addWidget(chatBox_, 7, 0);
    entry_ = new QLineEdit(kEntryHint, this);
    entry_->setObjectName("lobbyentry");
    entry_->installEventFilter(this);
    entry_->setMaxLength(static_cast<int>(lobby::kMaxChatLength));
    grid->addWidget(entry_, 8, 0);

    grid->addWidget(makeLabel("Players", table::kTanColour, 10, true, this), 1, 1);
    players_ = makeList("list_players", {"Name", "Where"}, this);
    players_->setSelectionMode(QAbstractItemView::NoSelection);
    // Wide enough for most names; measuring thousands of rows on every update is not worth it.
    players_->setColumnWidth(0, 120);
    grid->addWidget(players_, 2, 1, 7, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 3);
    grid->setRowStretch(7, 2);

    connect(tables_, &QTreeWidget::currentItemChanged, this, [this] { enableButtons(); });
    connect(tables_, &QTreeWidget::itemDoubleClicked, this, [this] { sitDown(); });
    connect(newTable_, &QPushButton::clicked, this, &LobbyView::newTable);
    connect(title_, &QLineEdit::returnPressed, this, &LobbyView::newTable);
    connect(sit_, &QPushButton::clicked, this, &LobbyView::sitDown);
    connect(watch_, &QPushButton::clicked, this, [this] { session_.watch(selectedTable()); });
    connect(standUp_, &QPushButton::clicked, this, [this] { session_.standUp(); });
    connect(leave_, &QPushButton::clicked, this, [this] { session_.leaveTable(); });
    connect(start_, &QPushButton::clicked, this, [this] {
        probePanel_->hide();
        session_.start();
    });
    connect(remove_, &QPushButton::clicked, this, &LobbyView::showRemoveMenu);
    connect(startAnyway_, &QPushButton::clicked, this, [this] {
        probePanel_->hide();
        session_.startAnyway();
    });
    connect(dismiss, &QPushButton::clicked, probePanel_, &QWidget::hide);
    connect(entry_, &QLineEdit::returnPressed, this, &LobbyView::sendChat);
    refresh();
}

LobbyView::~LobbyView() = default;

QPushButton* LobbyView::button(const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    return b;
}

void LobbyView::refresh() {
    fillTables();
    fillPlayers();
    const std::string& own = session_.ownName();
    const int table = session_.ownTable();
    const int seat = session_.ownSeat();
    QString where = "in the lobby";
    if (table != 0 && session_.hostsOwnTable()) where = QString("hosting table %1").arg(table);
    else if (table != 0 && seat != 0) where = QString("in seat %1 at table %2").arg(seat).arg(table);
    else if (table != 0) where = QString("watching table %1").arg(table);
    whereabouts_->setText(own.empty() ? QString() : "You are " + fromLatin1(own) + ", " + where + ".");
    if (!session_.canStartAnyway()) probePanel_->hide();
    enableButtons();
}

void LobbyView::fillTables() {
    const int selected = selectedTable();
    const int column = tables_->currentColumn();
    tables_->clear();
    const int own = session_.ownTable();
    for (const auto& [number, table] : session_.list().tables()) {
        auto* item = new QTreeWidgetItem(tables_);
        item->setData(ColumnNumber, kNumberRole, number);
        item->setText(ColumnNumber, QString::number(number));
        item->setText(ColumnTitle, fromLatin1(table.title));
        item->setText(ColumnHost, fromLatin1(table.seats[0]));
        for (int seat = 2; seat <= lobby::kSeats; ++seat)
            item->setText(ColumnSeat2 + seat - 2, seatText(table.seats[static_cast<std::size_t>(seat - 1)]));
        QStringList watchers;
        for (const std::string& watcher : table.watchers) watchers.push_back(fromLatin1(watcher));
        item->setText(ColumnWatchers, watchers.join(", "));
        item->setText(ColumnState, table.state == lobby::TableState::Waiting ? "Waiting" : "Playing");
        if (number == own)
            for (int c = 0; c < ColumnCount; ++c) item->setFont(c, lobbyFont(9, true));
    }
    for (int c = 0; c < ColumnCount; ++c) tables_->resizeColumnToContents(c);
    if (selected != 0) selectTable(selected, column < 0 ? ColumnTitle : column);
}

void LobbyView::fillPlayers() {
    players_->clear();
    for (const auto& [key, player] : session_.list().players()) {
        auto* item = new QTreeWidgetItem(players_);
        item->setText(0, fromLatin1(player.name));
        item->setText(1, whereText(player));
        if (lobby::sameName(player.name, session_.ownName())) item->setFont(0, lobbyFont(9, true));
    }
}

void LobbyView::enableButtons() {
    const bool online = session_.stage() == LobbySession::Stage::InLobby;
    const int own = session_.ownTable();
    const bool host = session_.hostsOwnTable();
    const lobby::TableRecord* ownTable = session_.list().table(own);
    const bool ownWaiting = ownTable != nullptr && ownTable->state == lobby::TableState::Waiting;
    const int selected = selectedTable();
    const lobby::TableRecord* chosen = session_.list().table(selected);
    const bool chosenWaiting = chosen != nullptr && chosen->state == lobby::TableState::Waiting;
    // Moving within one's own table is allowed; the host stays in seat 1.
    const bool mayJoinChosen = chosenWaiting && (own == 0 || (selected == own && !host));
    newTable_->setEnabled(online && own == 0);
    sit_->setEnabled(online && mayJoinChosen);
    watch_->setEnabled(online && mayJoinChosen && (own == 0 || session_.ownSeat() != 0));
    standUp_->setEnabled(online && own != 0 && !host && session_.ownSeat() != 0 && ownWaiting);
    leave_->setEnabled(online && own != 0);
    start_->setVisible(host);
    remove_->setVisible(host);
    start_->setEnabled(online && host && ownWaiting && !session_.game().busy());
    bool others = false;
    if (ownTable != nullptr)
        others = !ownTable->watchers.empty() ||
                 std::any_of(ownTable->seats.begin() + 1, ownTable->seats.end(), [](const auto& s) { return !s.empty(); });
    remove_->setEnabled(online && host && others);
    entry_->setEnabled(online);
}

int LobbyView::selectedTable() const {
    const QTreeWidgetItem* item = tables_->currentItem();
    return item != nullptr ? item->data(ColumnNumber, kNumberRole).toInt() : 0;
}

void LobbyView::selectTable(int number, int column) {
    for (int i = 0; i < tables_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tables_->topLevelItem(i);
        if (item->data(ColumnNumber, kNumberRole).toInt() == number) {
            tables_->setCurrentItem(item, column);
            return;
        }
    }
}

int LobbyView::seatToTake() const {
    const lobby::TableRecord* table = session_.list().table(selectedTable());
    if (table == nullptr) return 0;
    const auto open = [&](int seat) { return table->seats[static_cast<std::size_t>(seat - 1)].empty(); };
    const int chosenSeat = tables_->currentColumn() - ColumnSeat2 + 2;
    if (chosenSeat >= 2 && chosenSeat <= lobby::kSeats && open(chosenSeat)) return chosenSeat;
    for (int seat = 2; seat <= lobby::kSeats; ++seat)
        if (open(seat)) return seat;
    return 0;
}

void LobbyView::sitDown() {
    const int table = selectedTable();
    if (table == 0) return;
    const int seat = seatToTake();
    if (seat == 0) {
        addNotice(QString("Table %1 has no open seat: you may watch it.").arg(table));
        return;
    }
    session_.sit(table, seat);
}

void LobbyView::newTable() {
    QString typed = title_->text().trimmed();
    if (typed.isEmpty()) typed = fromLatin1(session_.ownName()) + "'s table";
    const auto title = latin1Bytes(typed.left(static_cast<int>(lobby::kMaxTitleLength)));
    if (!title) {
        addNotice("A table's title uses the letters of Western European languages only.");
        return;
    }
    if (const auto problem = lobby::titleProblem(*title)) {
        addNotice(QString::fromLatin1(problem->data(), static_cast<qsizetype>(problem->size())));
        return;
    }
    session_.newTable(*title);
    title_->clear();
}

bool LobbyView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == entry_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) &&
        entry_->text() == kEntryHint)
        entry_->clear();
    return QWidget::eventFilter(watched, event);
}

void LobbyView::sendChat() {
    const QString typed = entry_->text();
    if (typed.isEmpty() || typed == kEntryHint) return;
    const auto text = latin1Bytes(typed);
    if (!text) {
        addNotice("A chat line uses the letters of Western European languages only.");
        return;
    }
    if (const auto problem = lobby::chatProblem(*text)) {
        addNotice(QString::fromLatin1(problem->data(), static_cast<qsizetype>(problem->size())));
        return;
    }
    session_.chat(*text);
    entry_->clear();
}

void LobbyView::showRemoveMenu() {
    const lobby::TableRecord* table = session_.list().table(session_.ownTable());
    if (table == nullptr || !session_.hostsOwnTable()) return;
    delete removeMenu_;
    removeMenu_ = new QMenu(this);
    removeMenu_->setObjectName("menu_remove");
    std::vector<std::string> names(table->seats.begin() + 1, table->seats.end());
    names.insert(names.end(), table->watchers.begin(), table->watchers.end());
    for (const std::string& name : names) {
        if (name.empty()) continue;
        QAction* item = removeMenu_->addAction(fromLatin1(name));
        connect(item, &QAction::triggered, this, [this, name] { session_.remove(name); });
    }
    removeMenu_->popup(remove_->mapToGlobal(QPoint(0, remove_->height())));
}

void LobbyView::addChatLine(const QString& name, const QString& text) { chat_->addLine(name + ": " + text, kChatColour); }

void LobbyView::addNotice(const QString& text) { chat_->addLine("Lobby: " + text, kNoticeColour); }

void LobbyView::showProbeResult(bool reachable, const QString& text) {
    if (reachable) {
        probePanel_->hide();
        addNotice(text);
        return;
    }
    probeText_->setText(text);
    probePanel_->show();
    startAnyway_->setEnabled(session_.canStartAnyway());
}

void LobbyView::setLocalLobbyText(const QString& text) {
    localLobby_->setText(text);
    localLobby_->setVisible(!text.isEmpty());
}

void LobbyView::clearChat() { chat_->clear(); }

}  // namespace vornel::lobby_window
