#include "clouds/wininet_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "clouds/internet_handle_win.h"
#include "clouds/mirror_url.h"
#include "clouds/program_name.h"

namespace {

// Room for the longest path Windows hands out.
constexpr DWORD kModulePathCapacity = 32768;

// The session, connection and request of one GET, closed in that reverse order with the body.
class WinInetBody final : public CloudMapBody {
  public:
    WinInetBody(OwnedInternetHandle session, OwnedInternetHandle connection, OwnedInternetHandle request)
        : session_(std::move(session)), connection_(std::move(connection)), request_(std::move(request)) {}

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        DWORD length = 0;
        if (!InternetReadFile(request_.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &length)) {
            return std::nullopt;
        }
        return length;
    }

  private:
    OwnedInternetHandle session_;
    OwnedInternetHandle connection_;
    OwnedInternetHandle request_;
};

}  // namespace

WinInetCloudMapClient::WinInetCloudMapClient(std::string userAgent) : userAgent_(std::move(userAgent)) {}

std::unique_ptr<CloudMapBody> WinInetCloudMapClient::Get(const std::string& address) {
    const std::optional<MirrorUrl> url = SplitMirrorUrl(address);
    OwnedInternetHandle session(
        InternetOpenA(userAgent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session || !url || url->HostName.empty()) {
        return nullptr;
    }
    const bool secure = IsHttpsScheme(url->Scheme);
    // INTERNET_INVALID_PORT_NUMBER is the service's default port: 80 for plain HTTP.
    const INTERNET_PORT port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_INVALID_PORT_NUMBER;
    OwnedInternetHandle connection(InternetConnectA(session.Get(), url->HostName.c_str(), port, nullptr,
                                                    nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        return nullptr;
    }
    // No flag that forces a reload or bypasses the cache, and none that relaxes the certificate
    // checks of an encrypted request.
    const DWORD flags = INTERNET_FLAG_EXISTING_CONNECT | (secure ? INTERNET_FLAG_SECURE : 0);
    OwnedInternetHandle request(
        HttpOpenRequestA(connection.Get(), "GET", url->Path.c_str(), "HTTP/1.0", nullptr, nullptr, flags, 0));
    if (!request || !HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) {
        return nullptr;
    }
    return std::make_unique<WinInetBody>(std::move(session), std::move(connection), std::move(request));
}

std::string ProgramUserAgent() {
    std::vector<char> path(kModulePathCapacity);
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), kModulePathCapacity);
    if (length == 0 || length >= kModulePathCapacity) {
        return {};
    }
    return ProgramNameOfPath(std::string_view(path.data(), length));
}
