#include "app/tally_list.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "table/board.h"
#include "table/message_box.h"
#include "table/table_window.h"
#include "tally/tally_file.h"

namespace vornel::app {
namespace {

constexpr QSize kClientSize{460, 300};
const QString kWaiting = "<Waiting>";

std::string bytes(const QString& text) { return text.toLatin1().toStdString(); }
QString text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QLabel* addLabel(QWidget* parent, const QString& caption, QRect geometry, const QString& name = {}) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    if (!name.isEmpty()) label->setObjectName(name);
    return label;
}

}  // namespace

TallyList::TallyList(const QPixmap& background, table::TableWindow& table, std::filesystem::path file)
    : SideWindow("Ttallylist", "Vornel - Tally List", kClientSize, background, &table),
      table_(table),
      file_(std::move(file)) {
    setFixedSize(kClientSize);
    buildPanels();
    tally::LoadedTally loaded = tally::loadTallyFile(file_);
    tally_ = std::move(loaded.table);
    loadFailure_ = std::move(loaded.failure);
    loadtally();
    if (loadFailure_) {
        const QString kept = QString::fromStdString(tally::damagedFilePath(file_).string());
        // Made before the table is shown: it comes up in front of the table once it is.
        QMessageBox* box = table::makeMessageBox(QMessageBox::Critical, text(*loadFailure_), &table_, "message_tally");
        box->setInformativeText("The tally starts empty; the unreadable file will be kept as " + kept);
        table::showInFront(box);
    }
}

TallyList::~TallyList() { save(); }

void TallyList::buildPanels() {
    QFont bold = font();
    bold.setBold(true);

    auto* own = new QGroupBox("Your Total Tally", this);
    own->setGeometry(8, 6, 236, 104);
    const std::array<QString, 5> ownCaptions{"", "Total Games:", "Your Wins", "Marches:", "Vornels:"};
    for (int k = 1; k <= 4; ++k) {
        addLabel(own, ownCaptions[k], {10, 2 + 20 * k, 120, 18});
        ownLabels_[k] = addLabel(own, "0", {134, 2 + 20 * k, 90, 18}, QString("mylabel_%1").arg(k));
    }

    // The player's lines, then a column of totals and one of this run's
    // counts, each number centred under its heading.
    auto* player = new QGroupBox(this);
    player->setGeometry(8, 114, 236, 140);
    heading_ = addLabel(player, "Player's Tally", {8, 6, 220, 18}, "label_heading");
    heading_->setFont(bold);
    constexpr int kTotalLeft = 126, kTotalWidth = 44, kSessionLeft = 176, kSessionWidth = 54;
    QLabel* total = addLabel(player, "Total", {kTotalLeft, 28, kTotalWidth, 18}, "label_totalhead");
    QLabel* session = addLabel(player, "Session", {kSessionLeft, 28, kSessionWidth, 18}, "label_sessionhead");
    for (QLabel* head : {total, session}) {
        head->setFont(bold);
        head->setAlignment(Qt::AlignCenter);
    }
    const std::array<QString, 5> lines{"", "Number of Games", "Player Wins:", "Your Wins:", "Wins as Partners"};
    for (int k = 1; k <= 4; ++k) {
        QLabel* line = addLabel(player, lines[k], {8, 30 + 22 * k, 116, 18});
        if (k == 2) {
            winsLine_ = line;
            line->setObjectName("label_winsline");
        }
        playerLabels_[k] = addLabel(player, "0", {kTotalLeft, 30 + 22 * k, kTotalWidth, 18}, QString("label_%1").arg(k));
        playerLabels_[k + 4] =
            addLabel(player, "0", {kSessionLeft, 30 + 22 * k, kSessionWidth, 18}, QString("label_%1").arg(k + 4));
        playerLabels_[k]->setAlignment(Qt::AlignCenter);
        playerLabels_[k + 4]->setAlignment(Qt::AlignCenter);
    }

    addLabel(this, "Players In Current Game", {252, 4, 200, 18})->setFont(bold);
    inGame_ = new QListWidget(this);
    inGame_->setObjectName("checklist_currentgame");
    inGame_->setGeometry(252, 24, 200, 70);
    addLabel(this, "Players Being Tallied", {252, 100, 200, 18})->setFont(bold);
    tallied_ = new QListWidget(this);
    tallied_->setObjectName("checklist_tallied");
    tallied_->setGeometry(252, 120, 200, 134);

    auto* reset = new QPushButton("Reset Tally", this);
    reset->setObjectName("button_reset");
    reset->setGeometry(8, 264, 100, 28);
    auto* done = new QPushButton("Done", this);
    done->setObjectName("button_done");
    done->setGeometry(352, 264, 100, 28);

    connect(inGame_, &QListWidget::itemChanged, this, &TallyList::followChecked);
    connect(tallied_, &QListWidget::itemChanged, this, &TallyList::talliedChecked);
    connect(tallied_, &QListWidget::currentRowChanged, this, &TallyList::showPlayer);
    connect(reset, &QPushButton::clicked, this, &TallyList::resetTally);
    connect(done, &QPushButton::clicked, this, &QWidget::close);
}

void TallyList::setChecked(QListWidgetItem* item, bool checked) {
    updatingLists_ = true;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    updatingLists_ = false;
}

void TallyList::loadtally() {
    showOwnTotals();
    updatingLists_ = true;
    tallied_->clear();
    for (int row = 1; row < tally_.rowCount(); ++row) {
        auto* item = new QListWidgetItem(text(tally_.cell(0, row)), tallied_);
        item->setCheckState(Qt::Checked);
    }
    updatingLists_ = false;
    showPlayer(tallied_->currentRow());
}

void TallyList::showOwnTotals() {
    for (int k = 1; k <= 4; ++k) ownLabels_[k]->setText(text(tally_.cell(k, 0)));
}

void TallyList::showPlayer(int entry) {
    const int row = entry + 1;
    if (entry < 0 || row >= tally_.rowCount()) {
        heading_->setText("Player's Tally");
        winsLine_->setText("Player Wins:");
        for (int k = 1; k <= 8; ++k) playerLabels_[k]->setText("0");
        return;
    }
    for (int k = 1; k <= 8; ++k) playerLabels_[k]->setText(text(tally_.cell(k, row)));
    const QString name = text(tally_.cell(0, row));
    winsLine_->setText(name + " Wins:");
    heading_->setText(name + "'s Tally");
}

void TallyList::loadchecklist() {
    updatingLists_ = true;
    inGame_->clear();
    const int own = table_.state().ownSeat;
    for (int seat = 1; seat <= 4; ++seat) {
        const QString name = table_.board().nameLabel(seat)->text();
        if (seat == own || name == kWaiting) continue;
        auto* item = new QListWidgetItem(name, inGame_);
        item->setCheckState(tally_.findFollowed(bytes(name)) ? Qt::Checked : Qt::Unchecked);
    }
    updatingLists_ = false;
}

void TallyList::followChecked(QListWidgetItem* item) {
    if (updatingLists_) return;
    const std::string name = bytes(item->text());
    if (tally_.follow(name)) {
        updatingLists_ = true;
        auto* entry = new QListWidgetItem(item->text(), tallied_);
        entry->setCheckState(Qt::Checked);
        updatingLists_ = false;
    }
    // A followed name stays checked here; it is dropped from the other list.
    setChecked(item, true);
}

void TallyList::talliedChecked(QListWidgetItem* item) {
    if (updatingLists_ || item->checkState() == Qt::Checked) return;
    // Asked once the list has finished with the item, which may go.
    const QString name = item->text();
    QTimer::singleShot(0, this, [this, name] {
        for (int i = 0; i < tallied_->count(); ++i) {
            QListWidgetItem* entry = tallied_->item(i);
            if (entry->text() == name && entry->checkState() != Qt::Checked) return unfollow(entry);
        }
    });
}

void TallyList::unfollow(QListWidgetItem* item) {
    const QString name = item->text();
    if (!ask("This will delete " + name + "'s Tally, Are you want to delete it?")) {
        setChecked(item, true);
        return;
    }
    const int entry = tallied_->row(item);
    if (entry < 0) return;
    tally_.moverow(entry + 1);
    updatingLists_ = true;
    delete tallied_->takeItem(entry);
    for (int i = 0; i < inGame_->count(); ++i)
        if (tally::sameNameIgnoringCase(bytes(inGame_->item(i)->text()), bytes(name)))
            inGame_->item(i)->setCheckState(Qt::Unchecked);
    updatingLists_ = false;
    showPlayer(tallied_->currentRow());
}

void TallyList::resetTally() {
    if (!ask("Are you sure you want to reset the Tally?")) return;
    tally_.reset();
    showOwnTotals();
    updatingLists_ = true;
    inGame_->clear();
    tallied_->clear();
    updatingLists_ = false;
    showPlayer(-1);
}

bool TallyList::ask(const QString& question) {
    QMessageBox box(QMessageBox::Question, "Confirm", question, QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("message_tallyquestion");
    return table::askInFront(box) == QMessageBox::Yes;
}

long long TallyList::addit(int column, int row) {
    const long long value = tally_.addit(column, row);
    if (row == 0) showOwnTotals();
    else if (row == tallied_->currentRow() + 1) showPlayer(tallied_->currentRow());
    return value;
}

void TallyList::addgame(const QString& first, const QString& second) {
    loadchecklist();
    std::vector<std::string> inGame;
    for (int i = 0; i < inGame_->count(); ++i) inGame.push_back(bytes(inGame_->item(i)->text()));
    tally_.addgame(bytes(first), bytes(second), inGame);
    showOwnTotals();
    showPlayer(tallied_->currentRow());
}

void TallyList::addtomineincrease(int column) {
    if (column < 1 || column > 4) return;
    addit(column, 0);
}

bool TallyList::save() {
    try {
        if (loadFailure_) {
            // The unreadable file is kept for its owner, never overwritten.
            if (!tally::keepDamagedFile(file_)) return false;
            loadFailure_.reset();
        }
        return !tally::writeFileAtomically(file_, tally::compress(tally_.toText()));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vornel::app
