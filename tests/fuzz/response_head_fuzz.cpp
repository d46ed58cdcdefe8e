// The head of a mirror's answer, through the download's rules: the status decides between the
// body, a redirect and a failed attempt; "Content-Length" must be a plain decimal number, and a
// body is stored only when it is as long as announced. The input is the mirror's address on the
// first line, then the answer as a server sends it: status line, header lines, an empty line
// and the body. Its header values reach the rules the way the HTTP client hands them out: the
// first header of a name, in any case, from after its colon to the end of its line.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "clouds/cloud_map_download.h"
#include "clouds/response_head.h"
#include "tests/fuzz/fuzz_lines.h"
#include "tests/fuzz/redirect_checks.h"
#include "tests/fuzz/scratch_file.h"

namespace {

struct Answer {
    std::string_view address;
    std::optional<std::uint32_t> status;
    std::optional<std::string_view> contentLength;
    std::optional<std::string_view> location;
    std::string_view body;
};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

Answer ReadAnswer(std::string_view text) {
    Answer answer;
    answer.address = NextLine(text);
    std::string_view statusLine = NextLine(text);
    statusLine = statusLine.substr(std::min(statusLine.size(), statusLine.find(' ') + 1), 3);
    std::uint32_t status = 0;
    if (statusLine.size() == 3 &&
        std::from_chars(statusLine.data(), statusLine.data() + 3, status).ptr == statusLine.data() + 3) {
        answer.status = status;
    }
    for (std::string_view line = NextLine(text); !line.empty() && line != "\r"; line = NextLine(text)) {
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::size_t colon = line.find(':');
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = colon == std::string_view::npos ? "" : line.substr(colon + 1);
        if (SameName(name, "Content-Length") && !answer.contentLength) {
            answer.contentLength = value;
        } else if (SameName(name, "Location") && !answer.location) {
            answer.location = value;
        }
    }
    answer.body = text;
    return answer;
}

// The length a "Content-Length" value gives, by the standard library's own number reading.
std::optional<std::uint64_t> ExpectedLength(std::string_view value) {
    const std::size_t first = value.find_first_not_of(" \t");
    const std::size_t last = value.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    value = value.substr(first, last - first + 1);
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (value.find_first_not_of("0123456789") != std::string_view::npos || error != std::errc()) {
        return std::nullopt;
    }
    return length;
}

class BodyOfAnswer final : public CloudMapBody {
  public:
    BodyOfAnswer(std::string_view body, std::optional<std::uint64_t> announced)
        : body_(body), announced_(announced) {}
    std::optional<std::uint64_t> AnnouncedLength() const override { return announced_; }
    BodyRead Read(std::span<std::uint8_t> buffer) override {
        const std::size_t length = std::min(buffer.size(), body_.size());
        std::copy_n(body_.begin(), length, buffer.begin());
        body_.remove_prefix(length);
        return length == 0 ? BodyRead{BodyRead::Kind::End} : BodyRead{BodyRead::Kind::Piece, length};
    }

  private:
    std::string_view body_;
    std::optional<std::uint64_t> announced_;
};

// Answers every request with the input's answer, as the HTTP client would hand it on.
class ClientOfAnswer final : public CloudMapClient {
  public:
    explicit ClientOfAnswer(const Answer& answer) : answer_(answer) {}
    std::unique_ptr<CloudMapBody> Get(const std::string& address, const GiveUpCheck&) override {
        const std::optional<RequestTarget> target = MirrorRequestTarget(address);
        if (!target) {
            return nullptr;
        }
        if (answer_.status == kHttpStatusOk) {
            std::optional<std::uint64_t> announced;
            if (answer_.contentLength) {
                announced = ParseContentLength(*answer_.contentLength);
                FUZZ_CHECK(announced == ExpectedLength(*answer_.contentLength));
                if (!announced) {
                    return nullptr;
                }
            }
            return std::make_unique<BodyOfAnswer>(answer_.body, announced);
        }
        if (answer_.status && IsRedirectStatus(*answer_.status) && answer_.location) {
            CheckedRedirect(*target, *answer_.location);
        }
        return nullptr;
    }

  private:
    const Answer& answer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Answer answer = ReadAnswer(std::string_view(reinterpret_cast<const char*>(data), size));
    ClientOfAnswer client(answer);
    const bool stored =
        DownloadCloudMap({std::string(answer.address)}, client, ScratchFileName().c_str(), [] { return 0; });

    const std::optional<std::uint64_t> announced =
        answer.contentLength ? ExpectedLength(*answer.contentLength) : std::nullopt;
    const bool whole = !answer.contentLength || (announced && *announced == answer.body.size());
    FUZZ_CHECK(stored == (answer.status == kHttpStatusOk && MirrorRequestTarget(answer.address) && whole));
    if (stored) {
        std::ifstream file(ScratchFileName(), std::ios::binary);
        const std::string kept{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        FUZZ_CHECK(kept == answer.body);
    }
    return 0;
}
