#include "app/about_window.h"

#include <QDir>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPushButton>

#include "net/protocol.h"
#include "table/board.h"
#include "vornel_version.h"

namespace vornel::app {

namespace {

QLabel* line(const char* name, const QString& text, QRect geometry, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (name != nullptr) label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}

}  // namespace

AboutWindow::AboutWindow(const QPixmap& background, const QPixmap& logo, QWidget* table, const QString& dataDirectory,
                         std::function<void(const QString&)> open)
    : SideWindow("Tabout", "Vornel - About", {304, 174}, background, table), open_(std::move(open)) {
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    logo_ = new QLabel(this);
    logo_->setObjectName("image_logo");
    logo_->setGeometry((304 - 223) / 2, 4, 223, 61);
    logo_->setPixmap(logo);
    logo_->setCursor(Qt::PointingHandCursor);
    logo_->installEventFilter(this);

    link_ = line("label_link", QString::fromLatin1(kWebAddress), {0, 67, 304, 16}, this);
    QFont underlined = link_->font();
    underlined.setUnderline(true);
    link_->setFont(underlined);
    QPalette tan = link_->palette();
    tan.setColor(QPalette::WindowText, table::kTanColour);
    link_->setPalette(tan);
    link_->setCursor(Qt::PointingHandCursor);
    link_->installEventFilter(this);

    line(nullptr, "Vornel, a card game for two teams of two", {0, 86, 304, 15}, this);
    line(nullptr, "Made by the Vornel team", {0, 101, 304, 15}, this);

    // One line, shortened in the middle when the path is long; the whole
    // path is in the tooltip.
    const QString native = QDir::toNativeSeparators(dataDirectory);
    dataDirectory_ = line("label_datadirectory", QString(), {6, 117, 292, 15}, this);
    const QString caption = "Settings and tally: ";
    dataDirectory_->setText(caption + QFontMetrics(dataDirectory_->font())
                                          .elidedText(native, Qt::ElideMiddle,
                                                      292 - QFontMetrics(dataDirectory_->font()).horizontalAdvance(caption)));
    dataDirectory_->setToolTip(native);

    // "Version" 1.0.5 ".3": the first part is what the table tells the host.
    QFont bold = font();
    bold.setBold(true);
    auto* caption1 = line(nullptr, "Version", {10, 146, 50, 18}, this);
    caption1->setFont(bold);
    caption1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    version_ = line("version", QString::fromLatin1(net::kVersion.data(), static_cast<qsizetype>(net::kVersion.size())),
                    {62, 146, 36, 18}, this);
    version_->setFont(bold);
    version_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    version_->adjustSize();
    version_->setFixedHeight(18);
    const QString buildText = QString::fromLatin1(version::kBuild.data(), static_cast<qsizetype>(version::kBuild.size()));
    auto* build = line("label_build", buildText, {version_->x() + version_->width(), 146, 20, 18}, this);
    build->setFont(bold);
    build->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* done = new QPushButton("Done", this);
    done->setObjectName("button_done");
    done->setGeometry(210, 144, 80, 22);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}

void AboutWindow::openLink() {
    if (open_) open_(QString::fromLatin1(kWebAddress));
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == link_) {
            openLink();
            return true;
        }
        if (watched == logo_) {
            hide();
            return true;
        }
    }
    return SideWindow::eventFilter(watched, event);
}

}  // namespace vornel::app
