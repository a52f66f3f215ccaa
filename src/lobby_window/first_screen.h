#pragma once
// The lobby's first screen: the player's name and the lobby server's
// address, "Connect", and "Start a lobby on this computer" with the
// addresses the others should type once it runs.

#include <QPixmap>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vornel::lobby_window {

class FirstScreen final : public QWidget {
    Q_OBJECT
public:
    FirstScreen(const QPixmap& logo, QWidget* parent = nullptr);

    QString name() const;
    QString server() const;
    void setName(const QString& name);
    void setServer(const QString& server);
    // A line under the buttons: what happens, or what went wrong.
    void setStatus(const QString& text, bool problem);
    // The lobby running on this computer and how the others reach it; empty hides it.
    void setLocalLobby(const QStringList& addresses, quint16 port);
    // While connecting the buttons wait.
    void setBusy(bool busy);

Q_SIGNALS:
    void connectRequested();
    void startLobbyRequested();

private:
    QLineEdit* name_;
    QLineEdit* server_;
    QPushButton* connect_;
    QPushButton* startLobby_;
    QLabel* status_;
    QLabel* addresses_;
};

// The words that tell the others how to reach a lobby on this computer.
QString localLobbyText(const QStringList& addresses, quint16 port);

}  // namespace vornel::lobby_window
