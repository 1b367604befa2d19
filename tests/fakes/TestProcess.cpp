// Linked into every test program: the same locale and time zone on every
// machine, no keyring, and OpenSSL's own leaks kept out of the leak check.

#include "platform/SecretStore.h"

#include <cstdlib>

namespace {

// Runs before main() and before Qt reads the environment. ctest cannot pass
// several variables through discovered tests on every CMake version.
const bool environmentSet = [] {
    setenv("LANG", "en_US.UTF-8", 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TZ", "UTC", 1);
    return true;
}();

// No test may read or change the keyring of whoever runs it; the keyring
// tests bring their own session.
const bool keyringSet = [] {
    cardolin::platform::UseSessionKeyring(nullptr);
    return true;
}();

} // namespace

// OpenSSL keeps per-thread error state and the objects of a TLS attempt that
// Qt's network thread still holds when a test program exits; neither is ours
// to free.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libcrypto.so\n"
           "leak:libssl.so\n"
           "leak:CRYPTO_zalloc\n"
           "leak:CRYPTO_malloc\n"
           "leak:CRYPTO_strdup\n"
           "leak:CRYPTO_strndup\n"
           "leak:ERR_vset_error\n"
           "leak:OPENSSL_sk_deep_copy\n";
}
