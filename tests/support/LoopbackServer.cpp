#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <utility>

namespace gapwell::test {

namespace {

constexpr std::size_t kMaxRequestHead = 64 * 1024;
constexpr int kRequestWaitMs = 5000;
constexpr std::size_t kSlowPiece = 1024;
constexpr int kSlowPauseMs = 20;
constexpr int kLatePauseMs = 2000;

void Fail(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Waits until `fd` is readable or the wake pipe fires; false on the wake pipe or timeout.
bool WaitReadable(int fd, int wakeFd, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) {
        return false;
    }
    return fds[1].revents == 0 && fds[0].revents != 0;
}

// Sleeps for `ms` unless the wake pipe fires first; false when it fired.
bool Pause(int wakeFd, int ms) {
    pollfd wake{wakeFd, POLLIN, 0};
    return ::poll(&wake, 1, ms) == 0;
}

bool SendText(int fd, const std::string& text) {
    return SendAll(fd, text.data(), text.size());
}

// Reads the request head (up to the blank line); empty when the client sends none.
std::string ReadHead(int fd, int wakeFd) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestHead) {
        if (!WaitReadable(fd, wakeFd, kRequestWaitMs)) {
            return {};
        }
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return {};
        }
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head.substr(0, head.find("\r\n\r\n"));
}

// The path of a "GET /path HTTP/1.1" request line; empty when the line is not one.
std::string RequestPath(const std::string& head) {
    const std::size_t start = head.find(' ');
    const std::size_t end = head.find(' ', start + 1);
    if (head.compare(0, 4, "GET ") != 0 || end == std::string::npos) {
        return {};
    }
    return head.substr(start + 1, end - start - 1);
}

std::string Head(const char* status, const std::string& fields) {
    return std::string("HTTP/1.1 ") + status + "\r\nConnection: close\r\n" + fields + "\r\n";
}

std::string LengthField(std::size_t length) {
    return "Content-Length: " + std::to_string(length) + "\r\n";
}

std::string Chunked(const std::string& body) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", body.size());
    return size + body + "\r\n0\r\n\r\n";
}

// Waits until the client closes its side (or the server stops).
void WaitForClientToLeave(int fd, int wakeFd) {
    char buffer[256];
    while (WaitReadable(fd, wakeFd, -1) && ::recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
}

}  // namespace

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

UniqueFd ListenOnLoopback(std::uint16_t& port) {
    UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int fd = listener.Get();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Fail("listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

WakePipe MakeWakePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        Fail("pipe");
    }
    return WakePipe{UniqueFd(ends[0]), UniqueFd(ends[1])};
}

LoopbackServer::LoopbackServer() : wake_(MakeWakePipe()), listener_(ListenOnLoopback(port_)) {
    thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    const char wake = 1;
    (void)!::write(wake_.write.Get(), &wake, 1);
    thread_.join();
}

void LoopbackServer::Serve(const std::string& path, std::string body, Reply reply) {
    const std::lock_guard lock(mutex_);
    routes_[path] = Route{std::move(body), reply};
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LoopbackServer::LastRequestHead() const {
    const std::lock_guard lock(mutex_);
    return lastRequestHead_;
}

bool LoopbackServer::FindRoute(const std::string& path, Route& route) const {
    const std::lock_guard lock(mutex_);
    const auto found = routes_.find(path);
    if (found == routes_.end()) {
        return false;
    }
    route = found->second;
    return true;
}

void LoopbackServer::Run() {
    while (!StopRequested()) {
        if (!WaitReadable(listener_.Get(), wake_.read.Get(), -1)) {
            continue;
        }
        const int client = ::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            Answer(client);
            ::close(client);
        }
    }
}

void LoopbackServer::Answer(int client) {
    const std::string head = ReadHead(client, wake_.read.Get());
    if (head.empty()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        lastRequestHead_ = head;
    }
    ++requests_;
    Route route;
    if (!FindRoute(RequestPath(head), route)) {
        const std::string page = "Not Found";
        SendText(client, Head("404 Not Found", LengthField(page.size())) + page);
        return;
    }
    const std::string& body = route.body;
    const std::size_t half = body.size() / 2;
    switch (route.reply) {
        case Reply::kNormal:
            SendText(client, Head("200 OK", LengthField(body.size())) + body);
            break;
        case Reply::kNoContentLength:
            SendText(client, Head("200 OK", "") + body);
            break;
        case Reply::kZeroLength:
            SendText(client, Head("200 OK", LengthField(0)));
            break;
        case Reply::kDropMidBody:
            SendText(client, Head("200 OK", LengthField(body.size())) + body.substr(0, half));
            break;
        case Reply::kErrorPage:
            SendText(client, Head("404 Not Found", LengthField(body.size())) + body);
            break;
        case Reply::kMoreThanAnnounced:
            SendText(client, Head("200 OK", LengthField(half)) + body);
            break;
        case Reply::kChunkedLongerThanAnnounced:
            SendText(client, Head("200 OK", LengthField(half) + "Transfer-Encoding: chunked\r\n") +
                                 Chunked(body));
            break;
        case Reply::kSlowBody: {
            bool open = SendText(client, Head("200 OK", LengthField(body.size())));
            for (std::size_t sent = 0; open && sent < body.size(); sent += kSlowPiece) {
                open = Pause(wake_.read.Get(), kSlowPauseMs) &&
                       SendText(client, body.substr(sent, kSlowPiece));
            }
            break;
        }
        case Reply::kRedirect:
            SendText(client, Head("302 Found", "Location: " + body + "\r\n" + LengthField(0)));
            break;
        case Reply::kLate:
            if (Pause(wake_.read.Get(), kLatePauseMs)) {
                SendText(client, Head("200 OK", LengthField(body.size())) + body);
            }
            break;
        case Reply::kServerError:
            SendText(client, Head("500 Internal Server Error", LengthField(body.size())) + body);
            break;
        case Reply::kTwoLengths:
            SendText(client, Head("200 OK", LengthField(body.size()) + LengthField(half)) + body);
            break;
        case Reply::kChunked:
            SendText(client, Head("200 OK", "Transfer-Encoding: chunked\r\n") + Chunked(body));
            break;
        case Reply::kStall:
            if (SendText(client, Head("200 OK", LengthField(body.size())))) {
                WaitForClientToLeave(client, wake_.read.Get());
            }
            break;
    }
}

}  // namespace gapwell::test
