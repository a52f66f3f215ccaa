#include "app/help_window.h"

#include "vornel_version.h"

namespace vornel::app {

namespace {

constexpr int kColumnWidth = 118;
const QColor kHeadingColour(218, 216, 205);

QPushButton* button(const QString& caption, const char* name, int y, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(8, y, kColumnWidth - 16, 24);
    return b;
}

}  // namespace

HelpWindow::HelpWindow(const QPixmap& background, QWidget* table)
    : SideWindow("Thelp", "Vornel - Help File", {470, 443}, background, table) {
    const char* const names[] = {"button_overview", "button_connecting", "button_gameplay",
                                 "button_scoring",  "button_documentation", "button_license"};
    for (int page = 1; page <= 6; ++page) {
        buttons_[page - 1] = button(kHelpPages[page - 1].caption, names[page - 1], 8 + (page - 1) * 28, this);
        connect(buttons_[page - 1], &QPushButton::clicked, this, [this, page] { showPage(page); });
    }
    connect(button("About", "button_about", 8 + 6 * 28 + 8, this), &QPushButton::clicked, this,
            &HelpWindow::aboutRequested);

    auto* credits = new QLabel(this);
    credits->setObjectName("label_credits");
    credits->setGeometry(8, 230, kColumnWidth - 16, 150);
    credits->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    credits->setWordWrap(true);
    credits->setText(QString("<b>Vornel</b><br>Version %1<br><br>A card game for four players in two teams.<br><br>"
                             "Written by the Vornel team.")
                         .arg(QString::fromLatin1(version::kFull.data(), static_cast<qsizetype>(version::kFull.size()))));
    connect(button("Done", "button_done", 443 - 8 - 24, this), &QPushButton::clicked, this, &QWidget::hide);

    heading_ = new QLabel(this);
    heading_->setObjectName("label_heading");
    heading_->setGeometry(kColumnWidth, 8, 470 - kColumnWidth - 8, 24);
    heading_->setAlignment(Qt::AlignCenter);
    heading_->setAutoFillBackground(true);
    QPalette palette = heading_->palette();
    palette.setColor(QPalette::Window, kHeadingColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    heading_->setPalette(palette);
    QFont font = heading_->font();
    font.setBold(true);
    font.setPointSize(11);
    heading_->setFont(font);

    pages_ = new QStackedWidget(this);
    pages_->setGeometry(kColumnWidth, 34, 470 - kColumnWidth - 8, 443 - 34 - 8);
    for (int page = 1; page <= 6; ++page) {
        auto* text = new QTextBrowser(pages_);
        text->setObjectName(QString("page%1").arg(page));
        text->setOpenLinks(false);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->document()->setDocumentMargin(5);
        text->document()->setDefaultStyleSheet("h3 { margin-top: 8px; margin-bottom: 2px; } p { margin-top: 2px; }");
        QPalette white = text->palette();
        white.setColor(QPalette::Base, Qt::white);
        white.setColor(QPalette::Text, Qt::black);
        text->setPalette(white);
        text->setHtml(QString::fromUtf8(kHelpPages[page - 1].text));
        pages_->addWidget(text);
    }
    showPage(1);
}

void HelpWindow::showPage(int page) {
    if (page < 1 || page > 6) return;
    pages_->setCurrentIndex(page - 1);
    heading_->setText(buttons_[page - 1]->text());
}

QTextBrowser* HelpWindow::pageText(int page) const {
    return page >= 1 && page <= 6 ? qobject_cast<QTextBrowser*>(pages_->widget(page - 1)) : nullptr;
}

}  // namespace vornel::app
