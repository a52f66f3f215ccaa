// The board's children: filed by name, so that looking an element up costs
// one hash look-up instead of a walk over every child, and remembered as
// they stood at the start, so that a table can begin again on the same board.

#include <QChildEvent>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "table/board.h"

namespace vornel::table {

namespace {

// ASCII folded to lower case eight bytes at a time: the names are folded on
// every look-up, and a loop per character costs a branch per character.
// False when a byte is not ASCII (`out` is then of no use).
bool foldAscii(const char* in, std::size_t size, char* out) {
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    constexpr std::uint64_t kEach = 0x0101010101010101u;
    std::uint64_t nonAscii = 0;
    for (std::size_t at = 0; at < size; at += 8) {
        const std::size_t length = std::min<std::size_t>(8, size - at);
        std::uint64_t word = 0;
        // A whole word is copied as one load; only the tail byte by byte.
        if (length == 8) std::memcpy(&word, in + at, 8);
        else std::memcpy(&word, in + at, length);
        nonAscii |= word;
        // Per byte: its high bit set when the byte is 'A'..'Z'.
        const std::uint64_t low = word & ~kHigh;
        const std::uint64_t aboveZ = low + (0x7F - 'Z') * kEach;
        const std::uint64_t fromA = low + (0x80 - 'A') * kEach;
        const std::uint64_t upper = (fromA & ~aboveZ) & ~word & kHigh;
        word |= upper >> 2;  // 0x80 >> 2 is the case bit 0x20
        if (length == 8) std::memcpy(out + at, &word, 8);
        else std::memcpy(out + at, &word, length);
    }
    return (nonAscii & kHigh) == 0;
}

// The key a name is filed under: letter case folded. Names of ASCII letters
// (all the game's own) are folded in place, without a copy on the heap.
class NameKey {
public:
    explicit NameKey(QAnyStringView name) {
        const auto size = static_cast<std::size_t>(name.size());
        if (size <= sizeof(buffer_)) {
            const bool ascii = name.visit([this, size](auto view) {
                if constexpr (sizeof(*view.data()) == 1) {
                    return foldAscii(reinterpret_cast<const char*>(view.data()), size, buffer_);
                } else {
                    char16_t units = 0;  // every unit or-ed: below 0x80 when all are ASCII
                    char* out = buffer_;
                    for (auto c : view) {
                        const char16_t unit = QChar(c).unicode();
                        units |= unit;
                        *out++ = static_cast<char>(unit & 0x7F);
                    }
                    return units < 0x80 && foldAscii(buffer_, size, buffer_);
                }
            });
            if (ascii) {
                key_ = std::string_view(buffer_, size);
                return;
            }
        }
        other_ = name.toString().toCaseFolded().toStdString();
        key_ = other_;
    }
    std::string_view view() const { return key_; }

private:
    char buffer_[64];
    std::string other_;
    std::string_view key_;
};

// Brings the widgets among `children` back to their stacking order of the
// start (`start`, lowest first; null for one deleted since). The longest run
// of children that still stand in their start order stays, and each other
// child is put back right under the child that followed it at the start,
// topmost first: an input usually lifts a few cards and markers, so a few
// moves do instead of raising everything above the lowest of them.
void restackAs(const QObjectList& children, const std::vector<QWidget*>& start,
               const QHash<const QObject*, std::size_t>& startIndex) {
    std::vector<std::size_t> now;  // start places, in the stacking order of now
    for (QObject* object : children) {
        if (!object->isWidgetType()) continue;
        const auto at = startIndex.constFind(object);
        if (at != startIndex.cend() && start[*at] == object) now.push_back(*at);
    }
    // The longest increasing run of places (patience sorting).
    std::vector<std::size_t> tails;               // per length, the index in `now` ending the best run
    std::vector<std::size_t> before(now.size());  // per index in `now`, the one before it in its run
    for (std::size_t i = 0; i < now.size(); ++i) {
        const auto length = static_cast<std::size_t>(
            std::lower_bound(tails.begin(), tails.end(), now[i],
                             [&now](std::size_t t, std::size_t place) { return now[t] < place; }) -
            tails.begin());
        before[i] = length > 0 ? tails[length - 1] : now.size();
        if (length == tails.size()) tails.push_back(i);
        else tails[length] = i;
    }
    if (tails.size() == now.size()) return;  // every child stands in order
    std::vector<bool> stays(start.size(), false);
    for (std::size_t i = tails.back(); i < now.size(); i = before[i]) stays[now[i]] = true;

    QWidget* above = nullptr;  // the nearest child above, already in its place
    for (std::size_t place = start.size(); place-- > 0;) {
        QWidget* child = start[place];
        if (child == nullptr) continue;
        if (!stays[place]) {
            if (above != nullptr) child->stackUnder(above);
            else child->raise();
        }
        above = child;
    }
}

static_assert(std::string_view(kSeatFamilies[static_cast<int>(SeatFamily::PlayerName)]) == "label_playername");
static_assert(std::string_view(kSeatFamilies[static_cast<int>(SeatFamily::Turn)]) == "image_turn");

// The families numbered_ keeps: the seats' and the hand's cards ("card3").
constexpr std::size_t kHandFamily = std::size(kSeatFamilies);

int numberedFamily(std::string_view family) {
    for (std::size_t at = 0; at < std::size(kSeatFamilies); ++at)
        if (family == kSeatFamilies[at]) return static_cast<int>(at);
    if (family == "card") return static_cast<int>(kHandFamily);
    return -1;
}

}  // namespace

void Board::refileNumbered(std::string_view key) {
    if (key.size() < 2 || key.back() < '1' || key.back() > '9') return;
    const int family = numberedFamily(key.substr(0, key.size() - 1));
    if (family < 0) return;
    Numbered& slot = numbered_[static_cast<std::size_t>(family)][static_cast<std::size_t>(key.back() - '0')];
    const auto bearers = byName_.find(key);
    const std::size_t count = bearers == byName_.end() ? 0 : bearers->second.size();
    slot.only = count == 1 ? static_cast<QWidget*>(bearers->second.front()) : nullptr;
    slot.several = count > 1;
}

void Board::fileByName(QObject* child) {
    if (filedAs_.contains(child)) return;
    // A widget is added while it is being made, before it has its name: its
    // names are followed from here on. The connection ends with the child.
    connect(child, &QObject::objectNameChanged, this, [this, child] {
        if (!filedAs_.contains(child)) return;  // no longer a child
        unfile(child);
        fileUnderItsName(child);
    });
    fileUnderItsName(child);
}

void Board::fileUnderItsName(QObject* child) {
    const std::string name(NameKey(child->objectName()).view());
    filedAs_.insert(child, name);
    byName_[name].push_back(child);
    refileNumbered(name);
}

void Board::unfile(QObject* child) {
    const auto filed = filedAs_.constFind(child);
    if (filed == filedAs_.cend()) return;
    const std::string name = *filed;
    const auto bearers = byName_.find(name);
    if (bearers != byName_.end()) {
        std::erase(bearers->second, child);
        if (bearers->second.empty()) byName_.erase(bearers);
    }
    filedAs_.erase(filed);
    refileNumbered(name);
}

QWidget* Board::element(QAnyStringView name) const { return filedUnder(NameKey(name).view()); }

QWidget* Board::filedUnder(std::string_view key) const {
    const auto found = byName_.find(key);
    if (found == byName_.end() || found->second.empty()) return nullptr;
    const std::vector<QObject*>& bearers = found->second;
    // Filed only while a widget child: a child on its way out leaves first.
    if (bearers.size() == 1) return static_cast<QWidget*>(bearers.front());
    // Several children bear the name: the lowest in the stacking order
    // answers, as it always has.
    for (QObject* child : children())
        if (std::find(bearers.begin(), bearers.end(), child) != bearers.end()) return static_cast<QWidget*>(child);
    return nullptr;
}

QWidget* Board::numberedElement(std::string_view family, int number) const {
    // The key as it is filed (lower case, the number in decimal) is written
    // straight into a buffer: the game asks for seat elements and hand cards
    // several times per message.
    char key[64];
    if (family.size() + 12 <= sizeof(key) && foldAscii(family.data(), family.size(), key)) {
        const char* end = std::to_chars(key + family.size(), key + sizeof(key), number).ptr;
        return filedUnder(std::string_view(key, static_cast<std::size_t>(end - key)));
    }
    return element(QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size())) + QString::number(number));
}

QWidget* Board::numberedElement(int family, std::string_view name, int number) const {
    if (number < 1 || number > kHighestNumber) return numberedElement(name, number);
    const Numbered& slot = numbered_[static_cast<std::size_t>(family)][static_cast<std::size_t>(number)];
    return slot.several ? numberedElement(name, number) : slot.only;
}

ImageElement* Board::seatImage(const char* family, int seat) const {
    const int known = numberedFamily(family);
    QWidget* element = known >= 0 ? numberedElement(known, family, seat) : numberedElement(family, seat);
    return qobject_cast<ImageElement*>(element);
}

ImageElement* Board::seatImage(SeatFamily family, int seat) const {
    const auto index = static_cast<int>(family);
    return qobject_cast<ImageElement*>(numberedElement(index, kSeatFamilies[index], seat));
}

TextElement* Board::nameLabel(int seat) const {
    const auto index = static_cast<int>(SeatFamily::PlayerName);
    return qobject_cast<TextElement*>(numberedElement(index, kSeatFamilies[index], seat));
}

ImageElement* Board::handCard(int slot) const {
    return qobject_cast<ImageElement*>(numberedElement(static_cast<int>(kHandFamily), "card", slot));
}

// --- the own hand's cards ------------------------------------------------

ImageElement* Board::makeHandCard(const QString& name, QRect geometry) {
    auto* card = new ImageElement(name, this, geometry);
    card->setScaledContents(true);
    card->setCursor(Qt::PointingHandCursor);
    connect(card, &ImageElement::pressed, this, [this, card](Qt::MouseButton button) {
        Q_EMIT handCardPressed(card, button);
    });
    return card;
}

ImageElement* Board::takeHandCard(const QString& name, QRect geometry) {
    if (spareHandCards_.empty()) return makeHandCard(name, geometry);
    ImageElement* card = spareHandCards_.back();
    spareHandCards_.pop_back();
    card->setObjectName(name);
    card->setGeometry(geometry);
    card->raise();
    return card;
}

void Board::putBackHandCard(QWidget* card) {
    card->hide();
    card->setObjectName(QString());
    const auto made = std::find(madeHandCards_.begin(), madeHandCards_.end(), card);
    if (made == madeHandCards_.end()) {
        card->deleteLater();
        return;
    }
    if (std::find(spareHandCards_.begin(), spareHandCards_.end(), card) == spareHandCards_.end())
        spareHandCards_.push_back(*made);
}

// --- the start -----------------------------------------------------------

void Board::rememberStart() {
    start_.clear();
    startIndex_.clear();
    for (QObject* object : children()) {
        if (!object->isWidgetType()) continue;
        auto* child = static_cast<QWidget*>(object);
        ChildStart kept;
        kept.widget = child;
        kept.name = child->objectName();
        kept.hidden = child->isHidden();
        kept.palette = child->palette();
        kept.element = qobject_cast<BoardLabel*>(child);
        kept.label = qobject_cast<TextElement*>(child);
        kept.image = qobject_cast<ImageElement*>(child);
        if (kept.element != nullptr) kept.geometry = kept.element->geometry();
        if (kept.label != nullptr) {
            kept.text = kept.label->text();
            kept.hint = kept.label->hint();
        }
        if (kept.image != nullptr) {
            kept.picture = kept.image->pixmap();
            kept.pendingPicture = kept.image->pendingPicture();
            kept.tag = kept.image->tag();
            kept.hint = kept.image->hint();
        }
        startIndex_.insert(child, start_.size());
        start_.push_back(std::move(kept));
    }
}

const Board::ChildStart* Board::startOf(const QObject* child) const {
    const auto at = startIndex_.constFind(child);
    // A child made where one of the start stood before it was deleted is new.
    if (at == startIndex_.cend() || start_[*at].widget != child) return nullptr;
    return &start_[*at];
}

bool Board::differsFromStart(const ChildStart& kept) const {
    const QWidget* child = kept.widget;
    if (child->objectName() != kept.name || child->isHidden() != kept.hidden || child->palette() != kept.palette)
        return true;
    if (kept.element != nullptr && kept.element->geometry() != kept.geometry) return true;
    if (kept.label != nullptr) return kept.label->text() != kept.text || kept.label->hint() != kept.hint;
    if (kept.image != nullptr)
        return kept.image->pixmap().cacheKey() != kept.picture.cacheKey() || kept.image->tag() != kept.tag ||
               kept.image->hint() != kept.hint;
    return false;
}

bool Board::standsAsAtStart() const {
    auto kept = start_.cbegin();
    for (QObject* object : children()) {
        if (!object->isWidgetType()) continue;
        if (kept == start_.cend() || kept->widget != object) return false;
        ++kept;
    }
    return kept == start_.cend();
}

std::vector<QWidget*> Board::changedSinceStart() const {
    std::vector<QWidget*> changed;
    if (standsAsAtStart()) {
        // The same children in the same order: only their parts can differ.
        for (const ChildStart& kept : start_)
            if (differsFromStart(kept)) changed.push_back(kept.widget);
        return changed;
    }
    for (QObject* object : children()) {
        if (!object->isWidgetType()) continue;
        const ChildStart* kept = startOf(object);
        if (kept == nullptr || differsFromStart(*kept)) changed.push_back(static_cast<QWidget*>(object));
    }
    return changed;
}

void Board::restoreStart() {
    motion_->reset();
    // Every hand card made with the board is spare again, taken in the same order.
    spareHandCards_.assign(madeHandCards_.rbegin(), madeHandCards_.rend());
    // Most inputs neither add children nor restack them: then no child
    // needs to be found in the start.
    const bool inOrder = standsAsAtStart();
    if (!inOrder) {
        std::vector<QWidget*> added;
        for (QObject* object : children()) {
            if (!object->isWidgetType()) continue;
            if (startOf(object) == nullptr) added.push_back(static_cast<QWidget*>(object));
        }
        for (QWidget* child : added) delete child;
    }

    for (const ChildStart& kept : start_) {
        QWidget* child = kept.widget;
        if (child == nullptr) continue;
        if (child->objectName() != kept.name) child->setObjectName(kept.name);
        if (child->palette() != kept.palette) child->setPalette(kept.palette);
        if (kept.element != nullptr && kept.element->geometry() != kept.geometry)
            kept.element->setGeometry(kept.geometry);
        if (TextElement* label = kept.label) {
            if (label->text() != kept.text) label->setText(kept.text);
            label->setHint(kept.hint);
        }
        if (child->isHidden() != kept.hidden) child->setVisible(!kept.hidden);
        // After the visibility: a picture waiting to be drawn when shown
        // waits again, as it did in the window just built.
        if (ImageElement* image = kept.image) {
            if (image->pixmap().cacheKey() != kept.picture.cacheKey()) image->setPixmap(kept.picture);
            if (kept.pendingPicture) image->setPixmapWhenShown(kept.pendingPicture);
            image->setTag(kept.tag);
            image->setHint(kept.hint);
        }
    }
    if (inOrder) return;

    std::vector<QWidget*> startOrder;
    startOrder.reserve(start_.size());
    for (const ChildStart& kept : start_) startOrder.push_back(kept.widget);
    restackAs(children(), startOrder, startIndex_);
}

}  // namespace vornel::table
