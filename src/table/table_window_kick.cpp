// The host's hand on the seats: the pop-up menu on the players' names that
// removes a player or switches a seat between playing and watching, and the
// kick request that the watcher list uses too.

#include "table/table_window.h"

namespace vornel::table {

void TableWindow::buildSeatPopup() {
    popupKick_ = new QMenu(this);
    popupKick_->setObjectName("popup_kick");
    QAction* kick = popupKick_->addAction("Remove From Game");
    kick->setObjectName("popup_kickhim");
    QAction* watch = popupKick_->addAction("Set to Just Watch");
    watch->setObjectName("popup_settojustwatch");
    QAction* play = popupKick_->addAction("Unset Just Watch");
    play->setObjectName("popup_unsetjustwatch");

    // `popup_kickhimClick`: the connection number of a seat is the seat.
    connect(kick, &QAction::triggered, this, [this] { kicking(popupKickSeat_); });
    // `SettoJustWatch1Click` and `UnsetJustWatch1Click`.
    auto askWatch = [this](const char* value) {
        if (popupKickSeat_ < 1 || popupKickSeat_ > 4) return;
        sendMessage("CMD_justwatch", {Field::num(popupKickSeat_), Field::txt(value)});
    };
    connect(watch, &QAction::triggered, this, [askWatch] { askWatch("1"); });
    connect(play, &QAction::triggered, this, [askWatch] { askWatch("2"); });

    for (int seat = 1; seat <= 4; ++seat) {
        TextElement* label = board_->nameLabel(seat);
        connect(label, &TextElement::pressed, this, [this, label](Qt::MouseButton button, QPoint at) {
            if (button != Qt::RightButton) return;
            // The login renames the labels to the seats they show: ask the name.
            const int shown = label->objectName().mid(QString("label_playername").size()).toInt();
            label_playername1ContextPopup(shown);
            popupKick_->popup(at);
        });
    }
}

void TableWindow::label_playername1ContextPopup(int seat) {
    const auto actions = popupKick_->actions();
    for (QAction* item : actions) item->setEnabled(state_.isHost);
    const TextElement* label = board_->nameLabel(seat);
    if (label != nullptr && label->text() == "<Waiting>") action("popup_kickhim")->setEnabled(false);
    popupKickSeat_ = seat;
}

void TableWindow::kicking(int number) {
    if (!state_.isHost || !state_.loggedIn) return;
    sendMessage("CMD_kickhim", {Field::num(state_.ownSeat), Field::num(number)});
}

}  // namespace vornel::table
