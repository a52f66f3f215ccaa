// The board's children: filed by name, so that looking an element up costs
// one hash look-up instead of a walk over every child, and remembered as
// they stood at the start, so that a table can begin again on the same board.

#include <QChildEvent>
#include <algorithm>
#include <array>
#include <cstdio>

#include "table/board.h"

namespace vornel::table {

namespace {

char32_t codeUnit(QChar c) { return c.unicode(); }
char32_t codeUnit(char c) { return static_cast<unsigned char>(c); }
[[maybe_unused]] char32_t codeUnit(char8_t c) { return c; }

// ASCII in lower case, by table: the names are folded on every look-up.
constexpr auto kLower = [] {
    std::array<char, 128> lower{};
    for (int c = 0; c < 128; ++c) lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return lower;
}();

// The key a name is filed under: letter case folded. Names of ASCII letters
// (all the game's own) are folded in place, without a copy on the heap.
class NameKey {
public:
    explicit NameKey(QAnyStringView name) {
        const auto size = static_cast<std::size_t>(name.size());
        if (size <= sizeof(buffer_)) {
            char32_t units = 0;  // every unit or-ed: below 0x80 when all are ASCII
            name.visit([this, &units](auto view) {
                char* out = buffer_;
                for (auto c : view) {
                    const char32_t unit = codeUnit(c);
                    units |= unit;
                    *out++ = kLower[unit & 0x7F];
                }
            });
            if (units < 0x80) {
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

}  // namespace

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
}

void Board::unfile(QObject* child) {
    const auto filed = filedAs_.constFind(child);
    if (filed == filedAs_.cend()) return;
    const auto bearers = byName_.find(*filed);
    if (bearers != byName_.end()) {
        std::erase(bearers->second, child);
        if (bearers->second.empty()) byName_.erase(bearers);
    }
    filedAs_.erase(filed);
}

QWidget* Board::element(QAnyStringView name) const {
    const NameKey key(name);
    const auto found = byName_.find(key.view());
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

ImageElement* Board::seatImage(const char* family, int seat) const {
    char name[64];
    std::snprintf(name, sizeof(name), "%s%d", family, seat);
    return image(name);
}

TextElement* Board::nameLabel(int seat) const {
    char name[32];
    std::snprintf(name, sizeof(name), "label_playername%d", seat);
    return text(name);
}

ImageElement* Board::handCard(int slot) const {
    char name[32];
    std::snprintf(name, sizeof(name), "card%d", slot);
    return image(name);
}

// --- the start -----------------------------------------------------------

void Board::rememberStart() {
    start_.clear();
    for (QObject* object : children()) {
        if (!object->isWidgetType()) continue;
        auto* child = static_cast<QWidget*>(object);
        ChildStart kept;
        kept.widget = child;
        kept.name = child->objectName();
        kept.hidden = child->isHidden();
        kept.palette = child->palette();
        if (const auto* element = qobject_cast<const BoardLabel*>(child)) kept.geometry = element->geometry();
        if (const auto* label = qobject_cast<const TextElement*>(child)) {
            kept.text = label->text();
            kept.hint = label->hint();
        }
        if (const auto* image = qobject_cast<const ImageElement*>(child)) {
            kept.picture = image->pixmap();
            kept.pendingPicture = image->pendingPicture();
            kept.tag = image->tag();
            kept.hint = image->hint();
        }
        start_.push_back(std::move(kept));
    }
}

void Board::restoreStart() {
    motion_->reset();
    std::vector<QWidget*> added;
    for (QObject* object : children()) {
        if (!object->isWidgetType()) continue;
        const bool known = std::any_of(start_.begin(), start_.end(),
                                       [object](const ChildStart& kept) { return kept.widget == object; });
        if (!known) added.push_back(static_cast<QWidget*>(object));
    }
    for (QWidget* child : added) delete child;

    for (const ChildStart& kept : start_) {
        QWidget* child = kept.widget;
        if (child == nullptr) continue;
        if (child->objectName() != kept.name) child->setObjectName(kept.name);
        if (child->palette() != kept.palette) child->setPalette(kept.palette);
        if (auto* element = qobject_cast<BoardLabel*>(child))
            if (element->geometry() != kept.geometry) element->setGeometry(kept.geometry);
        if (auto* label = qobject_cast<TextElement*>(child)) {
            if (label->text() != kept.text) label->setText(kept.text);
            label->setHint(kept.hint);
        }
        if (child->isHidden() != kept.hidden) child->setVisible(!kept.hidden);
        // After the visibility: a picture waiting to be drawn when shown
        // waits again, as it did in the window just built.
        if (auto* image = qobject_cast<ImageElement*>(child)) {
            if (image->pixmap().cacheKey() != kept.picture.cacheKey()) image->setPixmap(kept.picture);
            if (kept.pendingPicture) image->setPixmapWhenShown(kept.pendingPicture);
            image->setTag(kept.tag);
            image->setHint(kept.hint);
        }
    }

    // The stacking order: raised one by one from the lowest, when it changed.
    std::vector<QWidget*> now;
    for (QObject* object : children())
        if (object->isWidgetType()) now.push_back(static_cast<QWidget*>(object));
    const bool sameOrder =
        now.size() == start_.size() &&
        std::equal(now.begin(), now.end(), start_.begin(), [](QWidget* child, const ChildStart& kept) {
            return kept.widget == child;
        });
    if (!sameOrder)
        for (const ChildStart& kept : start_)
            if (kept.widget != nullptr) kept.widget->raise();
}

}  // namespace vornel::table
