#pragma once
// The table's board `panel_board` (771 x 551): every element at its place,
// named as the game names it, plus the chat box, the entry line and the
// phrase buttons. Elements are found by name without regard to letter case.
//
// Places and fonts are given for the board at its smallest size; the board
// is shown scaled by one factor (setScale), and this is the one place that
// maps a logical place or font to the shown one.

#include <QAnyStringView>
#include <QColor>
#include <QHash>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>
#include <QFont>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "table/board_element.h"
#include "table/card_motion.h"

namespace vornel::table {

class Artwork;

inline const QColor kTanColour(101, 83, 50);
inline const QColor kBlueColour(86, 107, 143);
inline const QColor kTableColour(244, 245, 214);

// The game's font (Arial, or the system's sans serif face) at a size.
QFont boardFont(int pointSize, bool bold);

inline constexpr const char* kSeatFamilies[] = {"image_cards",    "label_playername", "image_played", "image_themaker",
                                                "image_winner",   "image_eyes",       "image_turn"};
// The seats' element families, in the order of kSeatFamilies.
enum class SeatFamily { Cards, PlayerName, Played, TheMaker, Winner, Eyes, Turn };

class Board : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 771;
    static constexpr int kHeight = 551;

    // A child widget with this property set true is placed by its owner,
    // not by the board's scaling.
    static constexpr const char* kUnscaledProperty = "vornelUnscaled";

    Board(const Artwork& artwork, QWidget* parent = nullptr);
    ~Board() override;

    // The factor the board is shown at (1 at its smallest size); the board
    // takes the size 771 x 551 times the factor and places every child.
    void setScale(qreal factor);
    qreal scale() const { return scale_; }
    // A logical place or size as shown at the current factor.
    QRect shownRect(const QRectF& logical) const;
    QSize shownSize(const QSize& logical) const;
    // Where an element is shown now: its place, or where its motion has it.
    QRect shownGeometry(const BoardLabel& element) const;
    CardMotion& motion() { return *motion_; }

    // Any element by name, letter case ignored; nullptr when there is none.
    // The board keeps its children filed by name, so the game's many look-ups
    // per message do not walk every child.
    QWidget* element(QAnyStringView name) const;
    ImageElement* image(QAnyStringView name) const { return qobject_cast<ImageElement*>(element(name)); }
    TextElement* text(QAnyStringView name) const { return qobject_cast<TextElement*>(element(name)); }
    // The element named `family` followed by `number` in decimal, found
    // without building a string ("image_turn", 3 -> image_turn3).
    QWidget* numberedElement(std::string_view family, int number) const;
    // A seat's element of one family ("image_turn", 3 -> image_turn3).
    ImageElement* seatImage(const char* family, int seat) const;
    ImageElement* seatImage(SeatFamily family, int seat) const;
    TextElement* nameLabel(int seat) const;
    // The own hand's card of a slot ("card3").
    ImageElement* handCard(int slot) const;
    // The own hand's cards are widgets made once with the board and used
    // again, as a hand is dealt every few messages. A card taken gets its
    // name and place and stands above every other child, as a new one
    // would; one put back is hidden and nameless until taken again.
    ImageElement* takeHandCard(const QString& name, QRect geometry);
    void putBackHandCard(QWidget* card);
    ImageElement* bubble(int n) const { return n >= 1 && n <= 4 ? bubbles_[n] : nullptr; }
    ImageElement* phraseButton(int n) const { return n >= 1 && n <= 10 ? phraseButtons_[n] : nullptr; }

    // Where each seat family's element stands at screen place 1..4
    // (bottom, left, top, right).
    static QRect placeGeometry(const QString& family, int place);
    static QColor teamColour(int seat) { return seat % 2 == 1 ? kTanColour : kBlueColour; }

    // What the board shows now becomes its start: restoreStart() brings
    // every child back to its name, place, text, picture, tag, hint,
    // colours, visibility and stacking, and takes away children added since
    // (the hand's cards, the sweep of a trick). Motions end first.
    void rememberStart();
    void restoreStart();
    // The children that stand otherwise than at the start in anything
    // restoreStart() brings back (name, place, text, picture, tag, hint,
    // colours, visibility), and those added since, in stacking order.
    std::vector<QWidget*> changedSinceStart() const;

    QTextEdit* mainchat() const { return mainchat_; }
    QLineEdit* mychat() const { return mychat_; }
    const Artwork& artwork() const { return artwork_; }

Q_SIGNALS:
    // A hand card was pressed.
    void handCardPressed(vornel::table::ImageElement* card, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSeatElements();
    void createScoreBoard();
    void createControls();
    void createChat();
    ImageElement* makeHandCard(const QString& name, QRect geometry);
    TextElement* addText(const QString& name, const QString& caption, QRect geometry, const QColor& colour,
                         int pointSize, bool bold);

    QWidget* filedUnder(std::string_view key) const;
    // numberedElement() for a family numbered_ keeps (its index there).
    QWidget* numberedElement(int family, std::string_view name, int number) const;
    // Keeps numbered_ in step with the bearers of `key`, when it is a family
    // name followed by one digit.
    void refileNumbered(std::string_view key);
    void fileByName(QObject* child);
    void fileUnderItsName(QObject* child);
    void unfile(QObject* child);

    static bool scalesChild(const QWidget* child);
    void placeChild(QWidget* child);
    void applyFont(QWidget* child);

    const Artwork& artwork_;
    qreal scale_ = 1.0;
    bool scaling_ = false;  // the board itself is setting a child's font
    std::unique_ptr<CardMotion> motion_;
    std::array<ImageElement*, 5> bubbles_{};
    std::array<ImageElement*, 11> phraseButtons_{};
    std::vector<ImageElement*> madeHandCards_;  // made with the board
    std::vector<ImageElement*> spareHandCards_;  // of those, the ones not in the hand; the last is taken first
    QTextEdit* mainchat_ = nullptr;
    QLineEdit* mychat_ = nullptr;

    // Widget children by case-folded name, and the name each is filed under.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, std::vector<QObject*>, NameHash, std::equal_to<>> byName_;
    QHash<const QObject*, std::string> filedAs_;
    // The seats' elements and the hand's cards by family and number 1..9:
    // the one child that bears the name, or none. The game asks for these
    // several times per message, and a seat's elements change names when the
    // seats turn. When several bear a name, the stacking order chooses, and
    // the look-up goes by name.
    struct Numbered {
        QWidget* only = nullptr;
        bool several = false;
    };
    static constexpr int kHighestNumber = 9;
    std::array<std::array<Numbered, kHighestNumber + 1>, std::size(kSeatFamilies) + 1> numbered_{};

    struct ChildStart {
        QPointer<QWidget> widget;
        // The widget as each kind of element, or null: found once, as the
        // reset and its check go over every child after each game.
        BoardLabel* element = nullptr;
        TextElement* label = nullptr;
        ImageElement* image = nullptr;
        QString name;
        bool hidden = false;
        QPalette palette;
        QRect geometry;  // elements only, logical
        QString text;    // text elements
        QPixmap picture;  // picture elements
        std::function<QPixmap()> pendingPicture;  // one drawn when first shown
        int tag = 0;
        QString hint;
    };
    const ChildStart* startOf(const QObject* child) const;
    bool differsFromStart(const ChildStart& kept) const;
    // The widget children are those of the start, in the start's order.
    bool standsAsAtStart() const;
    std::vector<ChildStart> start_;  // in stacking order, lowest first
    QHash<const QObject*, std::size_t> startIndex_;  // where each child's start is in start_
};

}  // namespace vornel::table
