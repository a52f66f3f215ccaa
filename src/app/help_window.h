#pragma once
// The help window `Thelp`: six pages chosen with the buttons of the left
// column, the current page's name as the heading line above its text.

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <array>

#include "app/side_window.h"

namespace vornel::app {

// The pages' captions and texts (rich text), page 1 first.
struct HelpPage {
    const char* caption;
    const char* text;
};
extern const std::array<HelpPage, 6> kHelpPages;

class HelpWindow : public SideWindow {
    Q_OBJECT
public:
    HelpWindow(const QPixmap& background, QWidget* table);

    // Brings page 1..6 to the front under its caption.
    void showPage(int page);
    int currentPage() const { return pages_->currentIndex() + 1; }
    QString heading() const { return heading_->text(); }
    QPushButton* pageButton(int page) const { return page >= 1 && page <= 6 ? buttons_[page - 1] : nullptr; }
    QTextBrowser* pageText(int page) const;

Q_SIGNALS:
    // "About": the program shows the about box.
    void aboutRequested();

private:
    QLabel* heading_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::array<QPushButton*, 6> buttons_{};
};

}  // namespace vornel::app
