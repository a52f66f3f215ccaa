#pragma once
// One HTTP GET into a file with libcurl's multi interface, driven from the
// Qt event loop by socket notifiers and a timer, so the windows and the
// in-process host keep being served while it runs. libcurl is loaded by the
// first transfer (curl_calls.h); when it cannot be, start() fails.

#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <map>

namespace vornel::app {

struct CurlCalls;

class HttpDownload : public QObject {
    Q_OBJECT
public:
    struct Request {
        QString address;
        // Plain http is accepted only for addresses given by the user
        // (tests, local mirrors); the built-in address must be https.
        bool allowPlainHttp = false;
    };

    explicit HttpDownload(QObject* parent = nullptr);
    ~HttpDownload() override;

    // Starts the GET; the body goes into `file`, which must be open for
    // writing and stay alive until finished() (or abort()). Returns false
    // when the transfer could not even be set up (then finished() is not
    // emitted).
    bool start(const Request& request, QFile& file);
    // Ends a running transfer as failed; finished() follows at once. Does
    // nothing when none runs.
    void abort();
    bool running() const { return easy_ != nullptr; }

Q_SIGNALS:
    void headerLine();
    void bodyStarted();
    void received(qint64 total);
    // Success only for a whole body after a final reply with a 2xx status.
    void finished(bool success, const QString& error);

private:
    // libcurl's callbacks, kept out of this header with libcurl's types.
    struct Callbacks;
    friend struct Callbacks;

    // The multi handle, made by the first transfer; false when it cannot be.
    bool prepareMulti();
    void watch(qintptr socket, bool read, bool write);
    void forget(qintptr socket);
    void act(qintptr socket, int events);
    void checkDone();
    void end(bool success, const QString& error);
    long responseCode() const;
    void onHeader();
    bool onBody(const char* data, qint64 size);

    const CurlCalls* curl_ = nullptr;  // set with multi_
    void* multi_ = nullptr;
    void* easy_ = nullptr;
    void* headers_ = nullptr;
    QFile* file_ = nullptr;
    QTimer timeout_;
    // Owned as children, so a notifier whose deletion is still pending
    // goes with this object.
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    std::map<qintptr, Watch> sockets_;
    qint64 total_ = 0;
    bool bodySeen_ = false;
    bool writeFailed_ = false;
    int callbackDepth_ = 0;
    bool abortRequested_ = false;
};

}  // namespace vornel::app
