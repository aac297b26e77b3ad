#include "support/TlsLoopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace gapwell::test {

namespace {

constexpr int kHandshakeWaitSeconds = 5;

void Fail(const char* what) {
    throw std::runtime_error(std::string("TLS loopback: ") + what);
}

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct ExtensionFree {
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};
struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// A self-signed certificate for the address 127.0.0.1, valid for an hour.
std::unique_ptr<X509, CertificateFree> SelfSigned(EVP_PKEY* key) {
    std::unique_ptr<X509, CertificateFree> certificate(X509_new());
    X509* cert = certificate.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -60);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    const std::unique_ptr<X509_EXTENSION, ExtensionFree> address(
        X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1"));
    if (!address || X509_add_ext(cert, address.get(), -1) != 1 ||
        X509_sign(cert, key, EVP_sha256()) == 0) {
        Fail("certificate");
    }
    return certificate;
}

void WritePem(const std::string& path, X509* certificate) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    const bool written = file != nullptr && PEM_write_X509(file, certificate) == 1;
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        Fail("certificate file");
    }
}

int ConnectToLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TlsLoopback::TlsLoopback(const LoopbackServer& backend) : backendPort_(backend.Port()) {
    const std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
    if (!key) {
        Fail("key");
    }
    const std::unique_ptr<X509, CertificateFree> certificate = SelfSigned(key.get());
    WritePem(CaFile(), certificate.get());
    context_.reset(SSL_CTX_new(TLS_server_method()));
    if (!context_ || SSL_CTX_use_certificate(context_.get(), certificate.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context_.get(), key.get()) != 1) {
        Fail("context");
    }
    wake_ = MakeWakePipe();
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Run(); });
}

TlsLoopback::~TlsLoopback() {
    const char wake = 1;
    (void)!::write(wake_.write.Get(), &wake, 1);
    thread_.join();
}

void TlsLoopback::ContextFree::operator()(ssl_ctx_st* context) const {
    SSL_CTX_free(context);
}

std::string TlsLoopback::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

void TlsLoopback::Run() {
    for (;;) {
        pollfd fds[2] = {{listener_.Get(), POLLIN, 0}, {wake_.read.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) {
            return;
        }
        const int client = ::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            Relay(client);
            ::close(client);
        }
    }
}

// Shakes hands with the client, then passes bytes both ways until either side closes or the
// front stops. A client that refuses the certificate ends the handshake: nothing is relayed.
void TlsLoopback::Relay(int client) const {
    const timeval wait{kHandshakeWaitSeconds, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    const std::unique_ptr<SSL, SslFree> ssl(SSL_new(context_.get()));
    if (!ssl || SSL_set_fd(ssl.get(), client) != 1 || SSL_accept(ssl.get()) != 1) {
        ERR_clear_error();
        return;
    }
    const int backend = ConnectToLoopback(backendPort_);
    char buffer[16 * 1024];
    bool open = backend >= 0;
    while (open) {
        pollfd fds[3] = {{client, POLLIN, 0}, {backend, POLLIN, 0}, {wake_.read.Get(), POLLIN, 0}};
        if (SSL_pending(ssl.get()) == 0 && (::poll(fds, 3, -1) < 0 || fds[2].revents != 0)) {
            break;
        }
        if (SSL_pending(ssl.get()) > 0 || fds[0].revents != 0) {
            const int got = SSL_read(ssl.get(), buffer, sizeof buffer);
            open = got > 0 && SendAll(backend, buffer, static_cast<std::size_t>(got));
        } else if (fds[1].revents != 0) {
            const ssize_t got = ::recv(backend, buffer, sizeof buffer, 0);
            open = got > 0 && SSL_write(ssl.get(), buffer, static_cast<int>(got)) == got;
        }
    }
    SSL_shutdown(ssl.get());
    ERR_clear_error();
    if (backend >= 0) {
        ::close(backend);
    }
}

}  // namespace gapwell::test
