#pragma once
// The about box `Tabout`: the logo, the maker's web address, the credits,
// the version, and the folder that keeps the settings and the tally.

#include <QLabel>
#include <functional>

#include "app/side_window.h"

namespace vornel::app {

// The maker's web address, opened by the link line and the logos.
inline constexpr char kWebAddress[] = "https://vornel.example.org";

class AboutWindow : public SideWindow {
    Q_OBJECT
public:
    // `open` opens a web address (the desktop's browser unless a test
    // watches); `dataDirectory` is where the settings and tally files live.
    AboutWindow(const QPixmap& background, const QPixmap& logo, QWidget* table, const QString& dataDirectory,
                std::function<void(const QString&)> open);

    // Opens the maker's web address.
    void openLink();

    QLabel* link() const { return link_; }
    QLabel* logo() const { return logo_; }
    QLabel* version() const { return version_; }
    QLabel* dataDirectory() const { return dataDirectory_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> open_;
    QLabel* logo_ = nullptr;
    QLabel* link_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* dataDirectory_ = nullptr;
};

}  // namespace vornel::app
