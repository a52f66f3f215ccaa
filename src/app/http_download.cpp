#include "app/http_download.h"

#include <QLoggingCategory>

#include "app/curl_calls.h"
#include "app/platform.h"

Q_LOGGING_CATEGORY(lcDownload, "vornel.download", QtWarningMsg)

namespace vornel::app {

namespace {

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible)";
constexpr const char* kAccept = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
constexpr long kMaxRedirects = 5;
// A server that stops sending for this long ends the transfer as failed.
constexpr long kStalledSeconds = 120;

// libcurl's calls, loaded by the first download and kept; null (with the
// reason logged once) when they cannot be had.
const CurlCalls* curlCalls() {
    static const CurlCalls* const calls = [] {
#ifdef VORNEL_MODULES
        const platform::ModuleFunction entry = platform::moduleFunction("vornel-download", "vornel_curl_calls");
        if (entry.address == nullptr) {
            qCWarning(lcDownload) << "downloads are unavailable:" << entry.error;
            return static_cast<const CurlCalls*>(nullptr);
        }
        const CurlCalls* loaded = reinterpret_cast<decltype(&vornel_curl_calls)>(entry.address)();
#else
        const CurlCalls* loaded = vornel_curl_calls();
#endif
        // libcurl and its TLS library are set up once, by the first transfer.
        if (loaded->globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            qCWarning(lcDownload) << "downloads are unavailable: libcurl would not start";
            return static_cast<const CurlCalls*>(nullptr);
        }
        return loaded;
    }();
    return calls;
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
    if (multi_ != nullptr) curl_->multiCleanup(multiOf(multi_));
}

bool HttpDownload::prepareMulti() {
    if (multi_ != nullptr) return true;
    // Loaded by the first transfer, not at start-up: most runs never download.
    curl_ = curlCalls();
    if (curl_ == nullptr) return false;
    multi_ = curl_->multiInit();
    if (multi_ == nullptr) return false;
    curl_->multiSetopt(multiOf(multi_), CURLMOPT_SOCKETFUNCTION, &Callbacks::socket);
    curl_->multiSetopt(multiOf(multi_), CURLMOPT_SOCKETDATA, this);
    curl_->multiSetopt(multiOf(multi_), CURLMOPT_TIMERFUNCTION, &Callbacks::timer);
    curl_->multiSetopt(multiOf(multi_), CURLMOPT_TIMERDATA, this);
    return true;
}

bool HttpDownload::start(const Request& request, QFile& file) {
    if (running() || !prepareMulti()) return false;
    CURL* easy = curl_->easyInit();
    if (easy == nullptr) return false;
    const QByteArray address = request.address.toUtf8();
    curl_->easySetopt(easy, CURLOPT_URL, address.constData());
    curl_->easySetopt(easy, CURLOPT_PROTOCOLS_STR, request.allowPlainHttp ? "http,https" : "https");
    // A redirect never leaves https, whatever the first address was.
    curl_->easySetopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_->easySetopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_->easySetopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_->easySetopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_->easySetopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_slist* headers = curl_->slistAppend(nullptr, kAccept);
    curl_->easySetopt(easy, CURLOPT_HTTPHEADER, headers);
    // An empty proxy also turns off the proxy environment variables.
    curl_->easySetopt(easy, CURLOPT_PROXY, "");
    curl_->easySetopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_->easySetopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_->easySetopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_->easySetopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_->easySetopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_->easySetopt(easy, CURLOPT_HEADERFUNCTION, &Callbacks::header);
    curl_->easySetopt(easy, CURLOPT_HEADERDATA, this);
    curl_->easySetopt(easy, CURLOPT_WRITEFUNCTION, &Callbacks::body);
    curl_->easySetopt(easy, CURLOPT_WRITEDATA, this);

    easy_ = easy;
    headers_ = headers;
    file_ = &file;
    total_ = 0;
    bodySeen_ = false;
    writeFailed_ = false;
    abortRequested_ = false;
    if (curl_->multiAddHandle(multiOf(multi_), easy) != CURLM_OK) {
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
    curl_->multiSocketAction(multiOf(multi_), static_cast<curl_socket_t>(socket), events, &stillRunning);
    --callbackDepth_;
    checkDone();
}

void HttpDownload::checkDone() {
    int left = 0;
    while (CURLMsg* message = curl_->multiInfoRead(multiOf(multi_), &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easyOf(easy_)) continue;
        const CURLcode result = message->data.result;
        const long status = responseCode();
        if (abortRequested_) end(false, "aborted");
        else if (writeFailed_) end(false, file_->errorString());
        else if (result != CURLE_OK) end(false, QString::fromUtf8(curl_->easyStrerror(result)));
        else if (status < 200 || status > 299) end(false, "HTTP status " + QString::number(status));
        else end(true, QString());
        return;
    }
}

void HttpDownload::end(bool success, const QString& error) {
    curl_->multiRemoveHandle(multiOf(multi_), easyOf(easy_));
    curl_->easyCleanup(easyOf(easy_));
    curl_->slistFreeAll(static_cast<curl_slist*>(headers_));
    easy_ = nullptr;
    headers_ = nullptr;
    file_ = nullptr;
    timeout_.stop();
    while (!sockets_.empty()) forget(sockets_.begin()->first);
    Q_EMIT finished(success, error);
}

long HttpDownload::responseCode() const {
    long status = 0;
    curl_->easyGetinfo(easyOf(easy_), CURLINFO_RESPONSE_CODE, &status);
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
