// The cloud download's HTTP client on Windows: WinINet, with the system's proxy settings, its
// default time-outs and its cache rules. Each request is a GET of the address's path alone, as
// HTTP/1.0, under the program's name as user agent; the address's port, user name, password,
// query and fragment are never sent. A plain address goes to port 80 whatever port it names,
// which the mirrors in use rely on. An "https" address goes encrypted to port 443 with WinINet's
// certificate checks in force, so that what the user chose to keep private is not sent in the
// clear.
#pragma once

#include <string>

#include "clouds/cloud_map_client.h"

class WinInetCloudMapClient final : public CloudMapClient {
  public:
    explicit WinInetCloudMapClient(std::string userAgent);

    std::unique_ptr<CloudMapBody> Get(const std::string& address) override;

  private:
    std::string userAgent_;
};

// The running program's name (its file name without folder and extension), the user agent of
// its requests; empty if the module path cannot be read.
std::string ProgramUserAgent();
