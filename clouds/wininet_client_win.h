// The cloud download's HTTP client on Windows: WinINet, with the system's proxy settings. Each
// request is a GET as HTTP/1.0 under the program's name as user agent; the first goes where
// MirrorRequestTarget says (a plain address always to port 80, an "https" one encrypted to port
// 443 with WinINet's certificate checks in force, the path alone), and each redirect, up to
// kMaxCloudRedirects, where RedirectTarget says. Nothing is taken from or written to WinINet's
// cache: an old map from there would be stored as if it were new.
//
// Every wait is bounded: connect, send and receive time out after kCloudStallLimit, so that no
// call holds the download for longer. A body that falls silent for that long is "waiting", not
// broken: the download decides, by its own deadline, how long it waits for more. Measured under
// Wine: the time-outs take effect when set on the request handle (not when set on the session
// only), a time-out of InternetQueryDataAvailable leaves the request usable, and
// InternetReadFile of no more than what is available returns at once, where a larger one would
// wait for the whole buffer to fill.
#pragma once

#include <string>

#include "clouds/cloud_map_client.h"

class WinInetCloudMapClient final : public CloudMapClient {
  public:
    explicit WinInetCloudMapClient(std::string userAgent);

    std::unique_ptr<CloudMapBody> Get(const std::string& address, const GiveUpCheck& giveUp) override;

  private:
    std::string userAgent_;
};

// The running program's name (its file name without folder and extension), the user agent of
// its requests; empty if the module path cannot be read.
std::string ProgramUserAgent();
