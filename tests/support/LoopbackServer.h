#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "base/PosixFile.h"

namespace gapwell::test {

// A socket listening on 127.0.0.1 at a port the system picks, stored in `port`. Throws when it
// cannot listen.
UniqueFd ListenOnLoopback(std::uint16_t& port);

// A pipe whose write end wakes a serving thread that polls the read end; both close on exec.
struct WakePipe {
    UniqueFd read;
    UniqueFd write;
};
WakePipe MakeWakePipe();

// Sends all `size` bytes on the socket `fd`; false when the peer is gone.
bool SendAll(int fd, const char* data, std::size_t size);

// How the server answers a request for one path; all but kNormal misbehave on purpose.
enum class Reply {
    kNormal,           // 200, Content-Length, the whole body
    kNoContentLength,  // 200, the whole body, the end marked by closing the connection
    kZeroLength,       // 200, Content-Length 0, no body
    kDropMidBody,  // 200, Content-Length of the whole body, half of it, then the connection drops
    kErrorPage,    // 404 with Content-Length and the body as the error page
    kMoreThanAnnounced,           // Content-Length of half the body, the whole body on the wire
    kChunkedLongerThanAnnounced,  // Content-Length of half the body, the whole body chunked
    kSlowBody,                    // 200, Content-Length, the body in 1 KiB pieces 20 ms apart
    kStall,                       // 200, Content-Length, then silence until the client leaves
    kRedirect,                    // 302 to the body taken as the Location
    kLate,                        // as kNormal, but only after two seconds of silence
    kServerError,                 // 500 with Content-Length and the body as the error page
    kTwoLengths,                  // 200, Content-Length of the whole body and of half of it
    kChunked,                     // 200, no Content-Length, the whole body chunked
};

// A small HTTP/1.1 server on 127.0.0.1 with a port chosen by the system, answering one
// connection at a time on its own thread. Each connection carries one request and is closed
// after the reply. Paths not served get a 404 with a short body.
class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Serves `body` at `path` (which starts with "/") in the given way.
    void Serve(const std::string& path, std::string body, Reply reply = Reply::kNormal);
    // "http://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path) const;
    std::uint16_t Port() const { return port_; }
    // The head (request line and header lines) of the last request received.
    std::string LastRequestHead() const;
    int RequestCount() const { return requests_.load(); }

  private:
    struct Route {
        std::string body;
        Reply reply = Reply::kNormal;
    };

    void Run();
    void Answer(int client);
    bool FindRoute(const std::string& path, Route& route) const;
    bool StopRequested() const { return stopping_.load(); }

    std::uint16_t port_ = 0;  // before listener_, which sets it
    WakePipe wake_;
    UniqueFd listener_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::string lastRequestHead_;
    std::thread thread_;
};

}  // namespace gapwell::test
