// Texts of the side windows read whole at the default size: the watcher
// list's caption in a title bar, and the tally list's column headings with
// their numbers.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTemporaryDir>

#include "app/spy_list_window.h"
#include "app/tally_list.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

// Where a label draws its text, in its window's coordinates.
QRect textRect(const QLabel* label) {
    const QRect inside = label->contentsRect();
    const QRect drawn = QApplication::style()->itemTextRect(label->fontMetrics(), inside, label->alignment(),
                                                             label->isEnabled(), label->text());
    return drawn.translated(label->mapTo(label->window(), QPoint(0, 0)));
}

// The window's label showing exactly this text.
const QLabel* labelReading(const QWidget& window, const QString& text) {
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->text() == text) return label;
    return nullptr;
}

// Every label of the window shows its whole text.
void expectWholeTexts(const QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
            << label->text().toStdString();
    }
}

TEST(WindowTexts, TheWatcherListsCaptionFitsATitleBarWithItsButtons) {
    table::TableWindow table;
    SpyListWindow spies(table);
    EXPECT_EQ(spies.windowTitle(), "Vornel - Spys");
    // A title bar as a window manager draws one: icon, minimise, maximise
    // and close buttons, the caption in bold between them.
    QStyleOptionTitleBar bar;
    bar.initFrom(&spies);
    bar.text = spies.windowTitle();
    bar.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    bar.subControls = QStyle::SC_All;
    const int height = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, nullptr);
    bar.rect = QRect(0, 0, spies.width(), height);
    const QRect room = QApplication::style()->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel);
    QFont bold = spies.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    EXPECT_EQ(metrics.elidedText(spies.windowTitle(), Qt::ElideMiddle, room.width()).toStdString(), "Vornel - Spys")
        << "room " << room.width() << " for " << metrics.horizontalAdvance(spies.windowTitle());
    expectWholeTexts(spies);
}

TEST(WindowTexts, TallyHeadingsStandApartOverTheirNumbers) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    table::RecordingServices services;
    table::TableWindow table{table::TableWindow::Services{services, services, services, services, services}};
    TallyList tally(QPixmap(), table, home.filePath("Vorneltally.tld").toStdString());
    tally.show();
    expectWholeTexts(tally);

    const QLabel* totalHeading = labelReading(tally, "Total");
    const QLabel* sessionHeading = labelReading(tally, "Session");
    ASSERT_NE(totalHeading, nullptr);
    ASSERT_NE(sessionHeading, nullptr);
    const QRect total = textRect(totalHeading);
    const QRect session = textRect(sessionHeading);
    EXPECT_EQ(total.top(), session.top()) << "one line of headings";
    EXPECT_GE(session.left() - total.right(), 8) << "\"Total\" and \"Session\" read as two words";
    // Line k's total and this run's count stand centred under their headings.
    for (int k = 1; k <= 4; ++k) {
        const auto* numberLabel = tally.findChild<QLabel*>(QString("label_%1").arg(k));
        const auto* thisRunLabel = tally.findChild<QLabel*>(QString("label_%1").arg(k + 4));
        ASSERT_NE(numberLabel, nullptr);
        ASSERT_NE(thisRunLabel, nullptr);
        const QRect number = textRect(numberLabel);
        const QRect thisRun = textRect(thisRunLabel);
        EXPECT_NEAR(number.center().x(), total.center().x(), 1) << k;
        EXPECT_NEAR(thisRun.center().x(), session.center().x(), 1) << k;
        EXPECT_GE(thisRun.left() - number.right(), 8) << k;
    }
}

}  // namespace
}  // namespace vornel::app
