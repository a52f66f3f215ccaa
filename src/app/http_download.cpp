#include "app/http_download.h"

#include <curl/curl.h>

namespace vornel::app {

namespace {

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible)";
constexpr const char* kAccept = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
constexpr long kMaxRedirects = 5;
// A server that stops sending for this long ends the transfer as failed.
constexpr long kStalledSeconds = 120;

void initialiseOnce() {
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(done);
}

CURLM* multiOf(void* handle) { return static_cast<CURLM*>(handle); }
CURL* easyOf(void* handle) { return static_cast<CURL*>(handle); }

}  // namespace

struct HttpDownload::Callbacks {
    static int socket(CURL*, curl_socket_t socket, int what, void* self, void*) {
        auto* download = static_cast<HttpDownload*>(self);
        if (what == CURL_POLL_REMOVE) download->forget(static_cast<qintptr>(socket));
        else download->watch(static_cast<qintptr>(socket), (what & CURL_POLL_IN) != 0, (what & CURL_POLL_OUT) != 0);
        return 0;
    }
    static int timer(CURLM*, long milliseconds, void* self) {
        auto& timer = static_cast<HttpDownload*>(self)->timeout_;
        if (milliseconds < 0) timer.stop();
        else timer.start(static_cast<int>(milliseconds));
        return 0;
    }
    static std::size_t header(char*, std::size_t size, std::size_t count, void* self) {
        auto* download = static_cast<HttpDownload*>(self);
        // The empty line that ends the header block is not a header line.
        if (size * count > 2) download->onHeader();
        return download->abortRequested_ ? 0 : size * count;
    }
    static std::size_t body(char* data, std::size_t size, std::size_t count, void* self) {
        auto* download = static_cast<HttpDownload*>(self);
        const bool kept = download->onBody(data, static_cast<qint64>(size * count));
        return kept && !download->abortRequested_ ? size * count : 0;
    }
};

HttpDownload::HttpDownload(QObject* parent) : QObject(parent) {
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { act(static_cast<qintptr>(CURL_SOCKET_TIMEOUT), 0); });
}

HttpDownload::~HttpDownload() {
    // Closing the program during a transfer ends it; nobody is told.
    blockSignals(true);
    if (running()) end(false, "closed");
    if (multi_ != nullptr) curl_multi_cleanup(multiOf(multi_));
}

bool HttpDownload::prepareMulti() {
    if (multi_ != nullptr) return true;
    // libcurl and its TLS library are set up by the first transfer, not at
    // start-up: most runs never download.
    initialiseOnce();
    multi_ = curl_multi_init();
    if (multi_ == nullptr) return false;
    curl_multi_setopt(multiOf(multi_), CURLMOPT_SOCKETFUNCTION, &Callbacks::socket);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_TIMERFUNCTION, &Callbacks::timer);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_TIMERDATA, this);
    return true;
}

bool HttpDownload::start(const Request& request, QFile& file) {
    if (running() || !prepareMulti()) return false;
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    const QByteArray address = request.address.toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, request.allowPlainHttp ? "http,https" : "https");
    // A redirect never leaves https, whatever the first address was.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_slist* headers = curl_slist_append(nullptr, kAccept);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    // An empty proxy also turns off the proxy environment variables.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Callbacks::header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Callbacks::body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);

    easy_ = easy;
    headers_ = headers;
    file_ = &file;
    total_ = 0;
    bodySeen_ = false;
    writeFailed_ = false;
    abortRequested_ = false;
    if (curl_multi_add_handle(multiOf(multi_), easy) != CURLM_OK) {
        blockSignals(true);
        end(false, QString());
        blockSignals(false);
        return false;
    }
    return true;
}

void HttpDownload::abort() {
    if (!running()) return;
    // Inside a libcurl callback the handle must not be removed: the
    // callback refuses the data instead and the transfer ends with an error.
    if (callbackDepth_ > 0) abortRequested_ = true;
    else end(false, "aborted");
}

void HttpDownload::watch(qintptr socket, bool read, bool write) {
    Watch& w = sockets_[socket];
    auto ensure = [&](QSocketNotifier*& notifier, QSocketNotifier::Type type, int event, bool wanted) {
        if (wanted && notifier == nullptr) {
            notifier = new QSocketNotifier(socket, type, this);
            connect(notifier, &QSocketNotifier::activated, this, [this, socket, event] { act(socket, event); });
        }
        if (notifier != nullptr) notifier->setEnabled(wanted);
    };
    ensure(w.read, QSocketNotifier::Read, CURL_CSELECT_IN, read);
    ensure(w.write, QSocketNotifier::Write, CURL_CSELECT_OUT, write);
}

void HttpDownload::forget(qintptr socket) {
    const auto found = sockets_.find(socket);
    if (found == sockets_.end()) return;
    // This may run inside the notifier's own signal: delete it later.
    for (QSocketNotifier* notifier : {found->second.read, found->second.write}) {
        if (notifier == nullptr) continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    sockets_.erase(found);
}

void HttpDownload::act(qintptr socket, int events) {
    if (!running()) return;
    int stillRunning = 0;
    ++callbackDepth_;
    curl_multi_socket_action(multiOf(multi_), static_cast<curl_socket_t>(socket), events, &stillRunning);
    --callbackDepth_;
    checkDone();
}

void HttpDownload::checkDone() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multiOf(multi_), &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easyOf(easy_)) continue;
        const CURLcode result = message->data.result;
        const long status = responseCode();
        if (abortRequested_) end(false, "aborted");
        else if (writeFailed_) end(false, file_->errorString());
        else if (result != CURLE_OK) end(false, QString::fromUtf8(curl_easy_strerror(result)));
        else if (status < 200 || status > 299) end(false, "HTTP status " + QString::number(status));
        else end(true, QString());
        return;
    }
}

void HttpDownload::end(bool success, const QString& error) {
    curl_multi_remove_handle(multiOf(multi_), easyOf(easy_));
    curl_easy_cleanup(easyOf(easy_));
    curl_slist_free_all(static_cast<curl_slist*>(headers_));
    easy_ = nullptr;
    headers_ = nullptr;
    file_ = nullptr;
    timeout_.stop();
    while (!sockets_.empty()) forget(sockets_.begin()->first);
    Q_EMIT finished(success, error);
}

long HttpDownload::responseCode() const {
    long status = 0;
    curl_easy_getinfo(easyOf(easy_), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

void HttpDownload::onHeader() { Q_EMIT headerLine(); }

bool HttpDownload::onBody(const char* data, qint64 size) {
    // Only the body of a successful reply is the file; a redirect's or an
    // unfollowed 3xx reply's body is dropped.
    const long status = responseCode();
    if (status < 200 || status > 299) return true;
    if (!bodySeen_) {
        bodySeen_ = true;
        Q_EMIT bodyStarted();
    }
    if (file_->write(data, size) != size) {
        writeFailed_ = true;
        return false;
    }
    total_ += size;
    Q_EMIT received(total_);
    return true;
}

}  // namespace vornel::app
