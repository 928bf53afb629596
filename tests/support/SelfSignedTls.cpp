#include "tests/support/SelfSignedTls.h"

#include <openssl/evp.h>
#include <openssl/x509.h>
#include <sys/socket.h>

SslContext SelfSignedContext()
{
    SslContext ctx(SSL_CTX_new(TLS_server_method()));
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    if (!ctx || !key || !cert) {
        X509_free(cert);
        EVP_PKEY_free(key);
        return nullptr;
    }
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    const bool ok = X509_sign(cert, key, EVP_sha256()) > 0 && SSL_CTX_use_certificate(ctx.get(), cert) == 1
        && SSL_CTX_use_PrivateKey(ctx.get(), key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    return ok ? std::move(ctx) : nullptr;
}

bool ServeTlsOk(SSL_CTX* ctx, LocalTcpServer::Connection& c)
{
    timeval limit { 5, 0 };
    setsockopt(c.Fd(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    SSL* ssl = SSL_new(ctx);
    SSL_set_fd(ssl, c.Fd());
    const bool accepted = SSL_accept(ssl) == 1;
    if (accepted) {
        char request[4096];
        SSL_read(ssl, request, sizeof request);
        const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
        SSL_write(ssl, answer, sizeof answer - 1);
        SSL_shutdown(ssl);
    }
    SSL_free(ssl);
    return accepted;
}
