#include "app/download_window.h"

#include <QDir>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <utility>

#include "app/jpeg_picture.h"
#include "app/platform.h"
#include "table/message_box.h"

// The resource lives in a static library: nothing else would pull it in.
static void registerAdvertResource() { Q_INIT_RESOURCE(lobby_advert); }

namespace vornel::app {

namespace {

constexpr const char* kAdvert = ":/assets/lobby_advert.jpg";
const QStringList kInstallerArguments{"/SP-", "/silent", "/noicons"};

QWidget* whitePanel(QWidget* parent, const QString& name, QRect geometry) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

QLabel* text(QWidget* panel, const QString& content, QRect geometry, const QString& name = QString()) {
    auto* label = new QLabel(content, panel);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QPushButton* button(QWidget* panel, const QString& caption, const QString& name, QRect geometry) {
    auto* b = new QPushButton(caption, panel);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}


// The installer's file name: the address after its last "/". A name that
// could reach outside the directory is refused (empty).
QString installerFileName(const QString& address) {
    const QString name = address.mid(address.lastIndexOf('/') + 1);
    if (name == "." || name == ".." || name.contains('\\') || name.contains(':')) return {};
    return name;
}

}  // namespace

// Decoded by the program itself from the compiled-in JPEG, and converted
// to the format a pixmap is kept in, so that showing it copies nothing more.
QImage DownloadWindow::decodeAdvert() {
    registerAdvertResource();
    QFile file(kAdvert);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    auto decoded = decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()));
    const auto* picture = std::get_if<RgbPicture>(&decoded);
    if (picture == nullptr) return {};
    const QImage image(picture->rgb.data(), picture->width, picture->height, picture->width * 3,
                       QImage::Format_RGB888);
    return image.convertToFormat(QImage::Format_RGB32);
}

DownloadWindow::DownloadWindow(QWidget* table, Hooks hooks)
    : SideWindow("Tdownload", "Download The Zelmo7 Lobby", {724, 500}, QPixmap(), table),
      hooks_(std::move(hooks)) {
    setStayOnTop(true);
    buildDownloadPanel();
    buildSoloPanel();
    buildOthersPanel();
    connect(&http_, &HttpDownload::headerLine, this, [this] { infolabel_->setText(infolabel_->text() + "."); });
    connect(&http_, &HttpDownload::bodyStarted, this,
            [this] { infolabel3_->setText("Downloading: " + infolabel2_->text()); });
    connect(&http_, &HttpDownload::received, this,
            [this](qint64 total) { infolabel_->setText(QString::number(total) + " bytes"); });
    connect(&http_, &HttpDownload::finished, this, [this](bool success) { transferEnded(success); });
}

void DownloadWindow::buildDownloadPanel() {
    QWidget* panel = whitePanel(this, "panel_download", {8, 6, 450, 487});
    picture_ = new QLabel(panel);
    picture_->setObjectName("image_advert");
    picture_->setGeometry(25, 6, 400, 339);
    text(panel,
         "Download The Zelmo7 Lobby Now to play this  and other exciting games online with other players!",
         {16, 350, 418, 36}, "label_download");
    getbutton_ = button(panel, "Download And Install The Zelmo7 Lobby Now", "getbutton", {25, 390, 400, 30});
    infolabel_ = text(panel, QString(), {8, 424, 434, 17}, "infolabel");
    infolabel3_ = text(panel, QString(), {8, 442, 434, 17}, "infolabel3");
    infolabel2_ = text(panel, QString(), {8, 442, 434, 17}, "infolabel2");
    infolabel2_->hide();
    abortbutton_ = button(panel, "Stop Download", "abortbutton", {165, 461, 120, 22});
    connect(getbutton_, &QPushButton::clicked, this, &DownloadWindow::getbuttonClick);
    connect(abortbutton_, &QPushButton::clicked, this, &DownloadWindow::abortbuttonClick);
}

void DownloadWindow::buildSoloPanel() {
    QWidget* panel = whitePanel(this, "panel_solo", {460, 6, 257, 228});
    text(panel,
         "To proceed to the game without the ability to play against others click the button below.",
         {10, 12, 237, 52});
    QPushButton* solo = button(panel, "Play Solo Game", "solobutton", {58, 72, 140, 30});
    text(panel,
         "Note: Even if you are playing offline, you will need to configure your FIREWALL to allow the game to "
         "access the internet components.",
         {10, 120, 237, 96});
    connect(solo, &QPushButton::clicked, this, &QWidget::hide);
}

void DownloadWindow::buildOthersPanel() {
    QWidget* panel = whitePanel(this, "panel_others", {460, 236, 257, 257});
    text(panel,
         "If you already have The Zelmo7 Lobby and you wish to play with others then click the button below to "
         "close this game and open The Zelmo7 Lobby.",
         {10, 12, 237, 104});
    QPushButton* others = button(panel, "Play with Others", "otherbutton", {58, 124, 140, 30});
    connect(others, &QPushButton::clicked, this, &DownloadWindow::playWithOthers);
}

void DownloadWindow::showOnDesktop() {
    const QRect area = platform::workArea(*this);
    move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    activateWindow();
}

bool DownloadWindow::showsPicture() const { return !picture_->pixmap().isNull(); }

void DownloadWindow::showEvent(QShowEvent* event) {
    // Decoded when shown rather than at start-up, where the window is only
    // made.
    if (picture_->pixmap().isNull())
        picture_->setPixmap(QPixmap::fromImage(advertAhead_.isNull() ? decodeAdvert() : std::exchange(advertAhead_, {})));
    SideWindow::showEvent(event);
}

void DownloadWindow::hideEvent(QHideEvent* event) {
    // Most players go on with the solo game at once: the advert is decoded
    // again if the window comes back, rather than kept for the whole game.
    if (!event->spontaneous()) picture_->setPixmap(QPixmap());
    SideWindow::hideEvent(event);
}

void DownloadWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}

void DownloadWindow::getbuttonClick() {
    if (http_.running()) return;
    downloadState_ = 1;
    const platform::LobbyInstallerAddress address = platform::lobbyInstallerAddress();
    const QString name = installerFileName(address.address);
    infolabel2_->setText(name);
    if (name.isEmpty()) return downloadFailed();
    file_.setFileName(QDir(hooks_.directory()).absoluteFilePath(name));
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return downloadFailed();
    getbutton_->setEnabled(false);
    abortbutton_->setEnabled(true);
    infolabel_->setText("Loading");
    if (!http_.start({address.address, address.fromEnvironment}, file_)) transferEnded(false);
}

void DownloadWindow::abortbuttonClick() {
    // The texts come first: a running transfer then ends as failed and
    // its end writes "Download Aborted" over the first line.
    infolabel_->setText("Download has been aborted.");
    downloadState_ = 2;
    infolabel3_->setText("Download Aborted");
    http_.abort();
}

void DownloadWindow::transferEnded(bool success) {
    if (success) {
        file_.flush();
        infolabel_->setText("Received " + QString::number(file_.size()) + " bytes");
    } else {
        infolabel_->setText("Download Aborted");
        downloadState_ = 2;
    }
    getbutton_->setEnabled(true);
    abortbutton_->setEnabled(false);
    file_.close();
    if (downloadState_ == 2) {
        // A partly received file stays where it is; one that received no
        // byte of a body is no installer, not even part of one.
        if (file_.size() == 0) file_.remove();
        return;
    }
    infolabel3_->setText("Installing");
    const QString installer = file_.fileName();
    if (!platform::makeExecutable(installer) || !QProcess::startDetached(installer, kInstallerArguments)) {
        showMessage("An Error has Occurred.");
        return;
    }
    hooks_.closeGame();
}

// Before any transfer started: no file, or no file could be created.
void DownloadWindow::downloadFailed() {
    infolabel_->setText("Download Aborted");
    downloadState_ = 2;
    getbutton_->setEnabled(true);
    abortbutton_->setEnabled(false);
}

void DownloadWindow::playWithOthers() {
    const QString lobby = platform::lobbyProgramPath();
    if (!QFileInfo(lobby).isFile()) {
        showMessage(
            "Please close the game and open the Zelmo7 Lobby using the icon on your desktop or using the your "
            "Window's start-up menu.");
        return;
    }
    if (!QProcess::startDetached(lobby, {})) {
        showMessage("An Error has Occurred.");
        return;
    }
    hooks_.closeGame();
}

// Not modal: the table and the host go on while the box is open.
void DownloadWindow::showMessage(const QString& content) {
    table::showInFront(table::makeMessageBox(QMessageBox::Information, content, this, "message_download"));
}

}  // namespace vornel::app
