// TLS on the test servers: a context whose certificate for 127.0.0.1 is made
// on the spot and signed by itself, so no authority the system trusts vouches
// for it and a client that checks certificates must refuse it.
#pragma once

#include <memory>
#include <openssl/ssl.h>

#include "tests/support/LocalTcpServer.h"

struct SslCtxDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using SslContext = std::unique_ptr<SSL_CTX, SslCtxDeleter>;

// Null when OpenSSL cannot make one.
SslContext SelfSignedContext();

// A LocalTcpServer script step: speaks TLS on the connection and, were the
// certificate accepted, answers 200 with an empty body. True when the client
// completed the handshake.
bool ServeTlsOk(SSL_CTX* ctx, LocalTcpServer::Connection& c);
