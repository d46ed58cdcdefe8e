#include "clouds/wininet_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "clouds/internet_handle_win.h"
#include "clouds/program_name.h"
#include "clouds/request_target.h"
#include "clouds/response_head.h"
#include "framework/wide_text_win.h"

namespace {

// Room for the longest path Windows hands out.
constexpr DWORD kModulePathCapacity = 32768;
// Longer than any location or length that an address could hold (see mirror_url.h), in wide
// characters.
constexpr DWORD kLongestHeaderValue = 8192;
constexpr DWORD kWaitSliceMs = static_cast<DWORD>(kCloudWaitSlice.count());

// A reload bypasses the cache, and nothing is written to it. Redirects are followed here, where
// they can be counted.
constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;

// What the library reports of one request on its own threads, and the places where the
// request's calls leave what they give, which a call still under way may fill after the
// download has given up on it. Shared by the request's owner and the request handle (see
// OnRequestStatus).
class RequestReports {
  public:
    RequestReports() : completed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    RequestReports(const RequestReports&) = delete;
    RequestReports& operator=(const RequestReports&) = delete;

    bool Usable() const { return static_cast<bool>(completed_); }
    // Before a call whose completion may be reported later.
    void Expect() { ResetEvent(completed_.Get()); }
    // On the library's thread.
    void Complete(bool succeeded) {
        succeeded_ = succeeded;
        SetEvent(completed_.Get());
    }
    // Whether the call has completed, waiting up to a slice for it.
    bool CompletedWithinSlice() const {
        return WaitForSingleObject(completed_.Get(), kWaitSliceMs) == WAIT_OBJECT_0;
    }
    bool Succeeded() const { return succeeded_.load(); }

    DWORD available = 0;
    std::vector<std::uint8_t> landing;
    DWORD landed = 0;

  private:
    const OwnedKernelHandle completed_;
    std::atomic<bool> succeeded_{false};
};

using SharedReports = std::shared_ptr<RequestReports>;

// The status callback of every handle of the client. Only requests are opened with a context:
// a SharedReports of their own, which the handle holds until its last report.
void CALLBACK OnRequestStatus(HINTERNET /*handle*/, DWORD_PTR context, DWORD status, LPVOID information,
                              DWORD /*length*/) {
    if (context == 0) {
        return;
    }
    auto* share = reinterpret_cast<SharedReports*>(context);
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        // The result is nonzero for a call that succeeded; the error field then holds what the
        // call gives (a query's count of bytes), and only otherwise the reason of a failure.
        (*share)->Complete(static_cast<const INTERNET_ASYNC_RESULT*>(information)->dwResult != 0);
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        delete share;
    }
}

// Waits for the report of the call under way, a slice at a time, until it comes or giveUp() is
// true. Whether the call succeeded.
bool AwaitCompletion(const RequestReports& reports, const GiveUpCheck& giveUp) {
    while (!reports.CompletedWithinSlice()) {
        if (giveUp()) {
            return false;
        }
    }
    return reports.Succeeded();
}

// The library's own waits end with the download's stall limit: a request given up on is let go
// soon after. They take effect when set on the request handle.
bool SetTimeOuts(HINTERNET request) {
    DWORD milliseconds = static_cast<DWORD>(kCloudStallLimit.count());
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!InternetSetOptionW(request, option, &milliseconds, sizeof milliseconds)) {
            return false;
        }
    }
    return true;
}

// A header of the answer as text; nothing when the answer has no such header.
std::optional<std::string> HeaderText(HINTERNET request, DWORD header) {
    std::wstring text(kLongestHeaderValue, L'\0');
    DWORD size = kLongestHeaderValue * sizeof(wchar_t);
    if (!HttpQueryInfoW(request, header, text.data(), &size, nullptr)) {
        return std::nullopt;
    }
    text.resize(std::min<DWORD>(size / sizeof(wchar_t), kLongestHeaderValue));
    return Utf8FromWide(text);
}

std::optional<std::uint32_t> StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return std::nullopt;
    }
    return status;
}

// The connection and request of one GET, closed request first. The session outlives them.
struct Exchange {
    OwnedInternetHandle connection;
    SharedReports reports;
    OwnedInternetHandle request;
};

std::optional<Exchange> Send(HINTERNET session, const RequestTarget& target, const GiveUpCheck& giveUp) {
    Exchange exchange;
    exchange.connection.Reset(InternetConnectW(session, WideFromUtf8(target.HostName).c_str(), target.Port,
                                               nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    exchange.reports = std::make_shared<RequestReports>();
    if (!exchange.connection || !exchange.reports->Usable()) {
        return std::nullopt;
    }
    // None of the flags relaxes the certificate checks of an encrypted request.
    const DWORD flags = kRequestFlags | (target.Secure ? INTERNET_FLAG_SECURE : 0);
    // Opened without a context: a request that fails after its handle was made reports that
    // handle's closing to the context it was given, which would then have two owners, the
    // closing report and this function. The context goes to the handle only once it exists.
    exchange.request.Reset(HttpOpenRequestW(exchange.connection.Get(), L"GET",
                                            WideFromUtf8(target.Object).c_str(), L"HTTP/1.0", nullptr,
                                            nullptr, flags, 0));
    if (!exchange.request) {
        return std::nullopt;
    }
    auto handleShare = std::make_unique<SharedReports>(exchange.reports);
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(handleShare.get());
    if (!InternetSetOptionW(exchange.request.Get(), INTERNET_OPTION_CONTEXT_VALUE, &context,
                            sizeof context)) {
        return std::nullopt;
    }
    handleShare.release();  // the handle's now, until its last report
    if (!SetTimeOuts(exchange.request.Get())) {
        return std::nullopt;
    }
    exchange.reports->Expect();
    if (!HttpSendRequestW(exchange.request.Get(), nullptr, 0, nullptr, 0) &&
        (GetLastError() != ERROR_IO_PENDING || !AwaitCompletion(*exchange.reports, giveUp))) {
        return std::nullopt;
    }
    return exchange;
}

// The session, connection and request of the GET that brought the body, closed in that
// reverse order with it.
class WinInetBody final : public CloudMapBody {
  public:
    WinInetBody(OwnedInternetHandle session, Exchange exchange, std::optional<std::uint64_t> announced)
        : session_(std::move(session)), exchange_(std::move(exchange)), announced_(announced) {}

    std::optional<std::uint64_t> AnnouncedLength() const override { return announced_; }

    BodyRead Read(std::span<std::uint8_t> buffer) override {
        RequestReports& reports = *exchange_.reports;
        for (;;) {
            if (!waitingForData_) {
                reports.Expect();
                if (InternetQueryDataAvailable(exchange_.request.Get(), &reports.available, 0, 0)) {
                    return Take(buffer);
                }
                if (GetLastError() != ERROR_IO_PENDING) {
                    return {BodyRead::Kind::Failed};
                }
                waitingForData_ = true;
            }
            if (!reports.CompletedWithinSlice()) {
                return {BodyRead::Kind::Waiting};
            }
            // Something has arrived, or the connection has ended: asked again, the library
            // answers at once.
            waitingForData_ = false;
            if (!reports.Succeeded()) {
                return {BodyRead::Kind::Failed};
            }
        }
    }

  private:
    // Reads no more than has arrived, which the library gives at once.
    BodyRead Take(std::span<std::uint8_t> buffer) {
        RequestReports& reports = *exchange_.reports;
        if (reports.available == 0) {
            return {BodyRead::Kind::End};
        }
        const DWORD wanted = std::min(reports.available, static_cast<DWORD>(buffer.size()));
        reports.landing.resize(wanted);
        reports.landed = 0;
        // A read that would wait after all fails the attempt: closing the request ends it, and
        // the landing place stays the library's until then.
        if (!InternetReadFile(exchange_.request.Get(), reports.landing.data(), wanted, &reports.landed) ||
            reports.landed > wanted) {
            return {BodyRead::Kind::Failed};
        }
        if (reports.landed == 0) {
            return {BodyRead::Kind::End};
        }
        std::copy_n(reports.landing.begin(), reports.landed, buffer.begin());
        return {BodyRead::Kind::Piece, reports.landed};
    }

    OwnedInternetHandle session_;
    Exchange exchange_;
    std::optional<std::uint64_t> announced_;
    // A query for more of the body is under way.
    bool waitingForData_ = false;
};

OwnedInternetHandle OpenSession(const std::string& userAgent) {
    OwnedInternetHandle session(InternetOpenW(WideFromUtf8(userAgent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                              nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (session &&
        InternetSetStatusCallbackW(session.Get(), &OnRequestStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        session.Reset();
    }
    return session;
}

}  // namespace

WinInetCloudMapClient::WinInetCloudMapClient(std::string userAgent) : userAgent_(std::move(userAgent)) {}

std::unique_ptr<CloudMapBody> WinInetCloudMapClient::Get(const std::string& address,
                                                         const GiveUpCheck& giveUp) {
    std::optional<RequestTarget> target = MirrorRequestTarget(address);
    OwnedInternetHandle session = target ? OpenSession(userAgent_) : OwnedInternetHandle();
    for (int redirects = 0; target && session && !giveUp(); ++redirects) {
        std::optional<Exchange> exchange = Send(session.Get(), *target, giveUp);
        if (!exchange) {
            return nullptr;
        }
        const HINTERNET request = exchange->request.Get();
        const std::optional<std::uint32_t> status = StatusCode(request);
        if (status == kHttpStatusOk) {
            std::optional<std::uint64_t> announced;
            if (const std::optional<std::string> length = HeaderText(request, HTTP_QUERY_CONTENT_LENGTH)) {
                announced = ParseContentLength(*length);
                if (!announced) {
                    return nullptr;
                }
            }
            return std::make_unique<WinInetBody>(std::move(session), std::move(*exchange), announced);
        }
        if (!status || !IsRedirectStatus(*status) || redirects == kMaxCloudRedirects) {
            return nullptr;
        }
        const std::optional<std::string> location = HeaderText(request, HTTP_QUERY_LOCATION);
        target = location ? RedirectTarget(*target, *location) : std::nullopt;
    }
    return nullptr;
}

std::string ProgramUserAgent() {
    std::wstring path(kModulePathCapacity, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kModulePathCapacity);
    if (length == 0 || length >= kModulePathCapacity) {
        return {};
    }
    path.resize(length);
    return ProgramNameOfPath(Utf8FromWide(path));
}
