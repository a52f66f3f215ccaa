#pragma once
// `Tdownload`, the lobby download window shown on a solo start: it offers
// to download and run the lobby program's installer, to go on with the
// solo game, or to close the game and open an installed lobby program.

#include <QFile>
#include <QImage>
#include <QString>
#include <functional>

#include "app/http_download.h"
#include "app/side_window.h"

class QLabel;
class QPushButton;

namespace vornel::app {

class DownloadWindow : public SideWindow {
    Q_OBJECT
public:
    struct Hooks {
        // The directory the installer is written to: where the settings
        // file lives, asked at the moment the download starts.
        std::function<QString()> directory;
        // Closes the game the way the table's "Exit" does.
        std::function<void()> closeGame;
    };

    DownloadWindow(QWidget* table, Hooks hooks);

    // Shows the window centred on the desktop and raises it.
    void showOnDesktop();
    // The advert picture, decoded from the program's own JPEG (null if it
    // cannot be read).
    static QImage decodeAdvert();
    // An advert decoded ahead, shown the first time the window is shown
    // instead of being decoded then.
    void keepAdvertForShowing(QImage advert) { advertAhead_ = std::move(advert); }

    // 1 while a download runs or after it ended normally, 2 once it was
    // aborted or failed, 0 before the first one.
    int downloadState() const { return downloadState_; }
    bool downloading() const { return http_.running(); }
    // Whether the advert picture is decoded: from the window's first being
    // shown until it is hidden again.
    bool showsPicture() const;
    // Ends a running download as "Stop Download" does, without its texts.
    void abortDownload() { http_.abort(); }

private:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void buildDownloadPanel();
    void buildSoloPanel();
    void buildOthersPanel();

    void getbuttonClick();
    void abortbuttonClick();
    void playWithOthers();
    void transferEnded(bool success);
    void downloadFailed();
    void showMessage(const QString& text);

    Hooks hooks_;
    HttpDownload http_;
    QFile file_;
    int downloadState_ = 0;
    QImage advertAhead_;
    QLabel* picture_ = nullptr;
    QPushButton* getbutton_ = nullptr;
    QPushButton* abortbutton_ = nullptr;
    QLabel* infolabel_ = nullptr;
    QLabel* infolabel2_ = nullptr;
    QLabel* infolabel3_ = nullptr;
};

}  // namespace vornel::app
