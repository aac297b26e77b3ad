#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "base/PosixFile.h"
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

    struct ContextFree {
        void operator()(ssl_ctx_st* context) const;
    };

    // Each owned from the moment it exists, so that a constructor that fails part-way leaves
    // nothing open.
    TempFolder folder_;
    std::uint16_t backendPort_;
    std::unique_ptr<ssl_ctx_st, ContextFree> context_;  // holds the certificate and its key
    WakePipe wake_;
    UniqueFd listener_;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

}  // namespace gapwell::test
