#include "clouds/wininet_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <vector>

#include "clouds/internet_handle_win.h"
#include "clouds/program_name.h"
#include "clouds/request_target.h"
#include "clouds/response_head.h"

namespace {

// Room for the longest path Windows hands out.
constexpr DWORD kModulePathCapacity = 32768;
// Longer than any location or length that an address could hold (see mirror_url.h).
constexpr DWORD kLongestHeaderValue = 8192;

// A reload bypasses the cache, and nothing is written to it. Redirects are followed here, where
// they can be counted.
constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;

bool IsTimeOut(DWORD error) {
    // WinINet's own code on Windows; Wine passes the socket's on.
    return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT;
}

bool SetStallLimits(HINTERNET request) {
    DWORD milliseconds = static_cast<DWORD>(kCloudStallLimit.count());
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!InternetSetOptionA(request, option, &milliseconds, sizeof milliseconds)) {
            return false;
        }
    }
    return true;
}

// A header of the answer as text; nothing when the answer has no such header.
std::optional<std::string> HeaderText(HINTERNET request, DWORD header) {
    std::vector<char> text(kLongestHeaderValue);
    DWORD size = kLongestHeaderValue;
    if (!HttpQueryInfoA(request, header, text.data(), &size, nullptr)) {
        return std::nullopt;
    }
    return std::string(text.data(), std::min<DWORD>(size, kLongestHeaderValue));
}

std::optional<std::uint32_t> StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return std::nullopt;
    }
    return status;
}

// The connection and request of one GET. The session outlives them.
struct Exchange {
    OwnedInternetHandle connection;
    OwnedInternetHandle request;
};

std::optional<Exchange> Send(HINTERNET session, const RequestTarget& target) {
    Exchange exchange;
    exchange.connection.Reset(InternetConnectA(session, target.HostName.c_str(), target.Port, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!exchange.connection) {
        return std::nullopt;
    }
    // None of the flags relaxes the certificate checks of an encrypted request.
    const DWORD flags = kRequestFlags | (target.Secure ? INTERNET_FLAG_SECURE : 0);
    exchange.request.Reset(HttpOpenRequestA(exchange.connection.Get(), "GET", target.Object.c_str(),
                                            "HTTP/1.0", nullptr, nullptr, flags, 0));
    if (!exchange.request || !SetStallLimits(exchange.request.Get()) ||
        !HttpSendRequestA(exchange.request.Get(), nullptr, 0, nullptr, 0)) {
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
        const HINTERNET request = exchange_.request.Get();
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
            return {IsTimeOut(GetLastError()) ? BodyRead::Kind::Waiting : BodyRead::Kind::Failed};
        }
        if (available == 0) {
            return {BodyRead::Kind::End};
        }
        // No more than has arrived, or the read would wait for the rest of the buffer.
        const DWORD wanted = std::min(available, static_cast<DWORD>(buffer.size()));
        DWORD length = 0;
        if (!InternetReadFile(request, buffer.data(), wanted, &length)) {
            return {BodyRead::Kind::Failed};
        }
        return length == 0 ? BodyRead{BodyRead::Kind::End} : BodyRead{BodyRead::Kind::Piece, length};
    }

  private:
    OwnedInternetHandle session_;
    Exchange exchange_;
    std::optional<std::uint64_t> announced_;
};

}  // namespace

WinInetCloudMapClient::WinInetCloudMapClient(std::string userAgent) : userAgent_(std::move(userAgent)) {}

std::unique_ptr<CloudMapBody> WinInetCloudMapClient::Get(const std::string& address,
                                                         const GiveUpCheck& giveUp) {
    std::optional<RequestTarget> target = MirrorRequestTarget(address);
    OwnedInternetHandle session(
        InternetOpenA(userAgent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    for (int redirects = 0; target && session && !giveUp(); ++redirects) {
        std::optional<Exchange> exchange = Send(session.Get(), *target);
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
    std::vector<char> path(kModulePathCapacity);
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), kModulePathCapacity);
    if (length == 0 || length >= kModulePathCapacity) {
        return {};
    }
    return ProgramNameOfPath(std::string_view(path.data(), length));
}
