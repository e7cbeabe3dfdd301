#include "tests/update/loopback_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include "core/wide_text.h"

namespace {

constexpr auto kHoldLimit = std::chrono::seconds(30);
constexpr auto kStartLimit = std::chrono::seconds(10);

} // namespace

LoopbackServer::LoopbackServer() : m_server(std::make_unique<httplib::Server>()), m_scheme("http") {}

LoopbackServer::LoopbackServer(const std::filesystem::path& certificate, const std::filesystem::path& key)
    : m_server(std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str())), m_scheme("https")
{
}

LoopbackServer::~LoopbackServer()
{
    {
        const std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_shutdown.notify_all();
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

void LoopbackServer::Start()
{
    m_server->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        const std::lock_guard lock(m_lock);
        m_requests.push_back({request.path, request.headers});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("loopback server: cannot bind");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!m_server->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string LoopbackServer::Url(const std::string& path) const
{
    return m_scheme + "://127.0.0.1:" + std::to_string(m_port) + path;
}

std::wstring LoopbackServer::WideUrl(const std::string& path) const
{
    return Utf8ToWide(Url(path));
}

std::vector<RecordedRequest> LoopbackServer::Requests() const
{
    const std::lock_guard lock(m_lock);
    return m_requests;
}

std::vector<std::string> LoopbackServer::RequestedPaths() const
{
    std::vector<std::string> paths;
    for (const RecordedRequest& request : Requests())
        paths.push_back(request.path);
    return paths;
}

void LoopbackServer::HoldUntilShutdown()
{
    std::unique_lock lock(m_lock);
    m_shutdown.wait_for(lock, kHoldLimit, [this] { return m_stopping; });
}

SilentListener::SilentListener()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_fd, 16) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("silent listener: cannot listen");
    m_port = ntohs(address.sin_port);
}

SilentListener::~SilentListener()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string SilentListener::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

TestCertificate MakeSelfSignedCertificate(const std::filesystem::path& folder)
{
    TestCertificate files{folder / "server.crt", folder / "server.key"};
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    bool ok = key && certificate;
    if (ok) {
        X509_set_version(certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
        X509_set_pubkey(certificate, key);
        X509_NAME* name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(certificate, name);
        X509V3_CTX context;
        X509V3_set_ctx_nodb(&context);
        X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
        for (const auto& [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                         std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
            X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
            ok = ok && extension && X509_add_ext(certificate, extension, -1) == 1;
            X509_EXTENSION_free(extension);
        }
        ok = ok && X509_sign(certificate, key, EVP_sha256()) > 0;
    }
    if (ok) {
        FILE* out = std::fopen(files.certificate.c_str(), "w");
        ok = out && PEM_write_X509(out, certificate) == 1;
        if (out)
            std::fclose(out);
        out = std::fopen(files.key.c_str(), "w");
        ok = ok && out && PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
        if (out)
            std::fclose(out);
    }
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (!ok)
        throw std::runtime_error("cannot make a test certificate");
    return files;
}

CurlHttpOptions LoopbackClientOptions(const std::string& caFile)
{
    CurlHttpOptions options;
    options.connectTimeoutMs = 5000;
    options.stallTimeoutMs = 300;
    options.caFile = caFile;
    options.useSystemProxy = false;
    return options;
}
