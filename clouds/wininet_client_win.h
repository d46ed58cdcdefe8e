// The cloud download's HTTP client on Windows: WinINet, with the system's proxy settings. Each
// request is a GET as HTTP/1.0 under the program's name as user agent; the first goes where
// MirrorRequestTarget says (a plain address always to port 80, an "https" one encrypted to port
// 443 with WinINet's certificate checks in force, the path alone), and each redirect, up to
// kMaxCloudRedirects, where RedirectTarget says. Nothing is taken from or written to WinINet's
// cache: an old map from there would be stored as if it were new.
//
// WinINet runs in its asynchronous mode: a call that would wait for the network returns at once
// and reports its completion later, on a thread of the library's own, and the download's thread
// waits for that report a slice at a time, asking between the slices whether to give up. To give
// up, it closes the request's handles, which ends the operation under way (the way WinINet's
// documentation gives to cancel one). So a stop takes effect within a slice, and no network wait
// needs to be short for that: a mirror may take half a minute to answer.
//
// Measured under Wine 8: closing the handles of a request from another thread does not end a
// call blocked in the library's synchronous mode (it stayed blocked until the process ended),
// hence the asynchronous mode. There, the library's own thread stays in its wait on the network
// after the handles are closed, until its time-out, and then still reports to the request's
// context; so that context is shared, and lives until the request handle's last report
// (INTERNET_STATUS_HANDLE_CLOSING), and the library's time-outs are set to the download's stall
// limit, so that its threads let go of an abandoned request soon after.
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
