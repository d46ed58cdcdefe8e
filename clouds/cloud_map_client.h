// The HTTP side of the cloud download: one GET of a mirror's address per attempt (with the
// redirects it leads to), and the body that answers it. The download's own rules (which mirror,
// how many attempts, how long one may take and how long nothing may arrive, how much of a body
// is kept) sit on top of this interface, so that they hold for any client; the program's client
// is WinINet's (wininet_client_win.h).
//
// No call here blocks for long, however slow the network: each hands control back within about
// kCloudWaitSlice, so that the download sees a request to stop, its deadline or a stall between
// the calls, and a stop ends the download at once whatever the network does.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The longest a client call waits for the network before it hands control back.
inline constexpr std::chrono::milliseconds kCloudWaitSlice{100};
// The longest the download waits for anything from a mirror: the answer to its request (after
// any redirects), and each next piece of the body. Slow networks take seconds; a mirror that
// sends nothing for this long has stopped.
inline constexpr std::chrono::milliseconds kCloudStallLimit{30000};

// True once the attempt must end: the run has been asked to stop, or the attempt's deadline or
// its stall limit has passed.
using GiveUpCheck = std::function<bool()>;

// What one read of a body gives.
struct BodyRead {
    enum class Kind {
        Piece,    // Length bytes have arrived
        End,      // the body is over
        Waiting,  // nothing arrived within kCloudWaitSlice; the body may still go on
        Failed,   // the connection broke
    };
    Kind Outcome = Kind::Failed;
    std::size_t Length = 0;
};

// The body of a 200 answer, as it arrives. Destroying it ends the request and its connection,
// at once, whatever the network is doing.
class CloudMapBody {
  public:
    CloudMapBody() = default;
    virtual ~CloudMapBody() = default;
    CloudMapBody(const CloudMapBody&) = delete;
    CloudMapBody& operator=(const CloudMapBody&) = delete;

    // The length the answer's head announced ("Content-Length"); nothing when it announced none.
    virtual std::optional<std::uint64_t> AnnouncedLength() const = 0;

    // Reads what has arrived of the body into buffer, at most buffer.size() bytes, waiting at
    // most kCloudWaitSlice for something to arrive.
    virtual BodyRead Read(std::span<std::uint8_t> buffer) = 0;
};

class CloudMapClient {
  public:
    CloudMapClient() = default;
    virtual ~CloudMapClient() = default;
    CloudMapClient(const CloudMapClient&) = delete;
    CloudMapClient& operator=(const CloudMapClient&) = delete;

    // Sends a GET request for address, follows up to kMaxCloudRedirects redirects, and returns
    // the body of the 200 answer at the end. While it waits for the network it asks giveUp()
    // every kCloudWaitSlice, and ends the request at once when that is true. nullptr for a
    // failed attempt: a malformed address or one without a host, a host name that does not
    // resolve, a refused or timed-out connection, a failed send, a status other than 200 (after
    // the redirects), a redirect too many or one that leads nowhere, a malformed
    // "Content-Length"; and when giveUp() became true.
    virtual std::unique_ptr<CloudMapBody> Get(const std::string& address, const GiveUpCheck& giveUp) = 0;
};
