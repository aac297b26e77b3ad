#pragma once

#include <cstdint>
#include <string>
#include <thread>

#include "support/LoopbackServer.h"
#include "support/TempFiles.h"

struct ssl_ctx_st;

namespace gapwell::test {

// An https front for a LoopbackServer on 127.0.0.1, with a port chosen by the system: it
// accepts one TLS connection at a time with a self-signed certificate for 127.0.0.1 made when
// it starts, and relays the connection's bytes to the server and back. Only a transfer told to
// trust CaFile() accepts the certificate.
class TlsLoopback {
  public:
    explicit TlsLoopback(const LoopbackServer& backend);
    ~TlsLoopback();
    TlsLoopback(const TlsLoopback&) = delete;
    TlsLoopback& operator=(const TlsLoopback&) = delete;

    // "https://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path) const;
    // The certificate as a PEM file: the one authority the test's transfer trusts.
    std::string CaFile() const { return (folder_.Path() / "loopback-ca.pem").string(); }

  private:
    void Run();
    void Relay(int client) const;

    TempFolder folder_;
    std::uint16_t backendPort_;
    ssl_ctx_st* context_ = nullptr;  // holds the certificate and its key
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

}  // namespace gapwell::test
