// dllsat.dll carries OpenSSL linked in statically, so OpenSSL cannot see the
// host program's threads end (its own DLL would, through its DllMain): each
// thread that signed keeps OpenSSL's per-thread state (random generators,
// error queue) until it is freed here, as the thread ends.

#include <windows.h>

#include <openssl/crypto.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_THREAD_DETACH) {
        OPENSSL_thread_stop();
    }
    return TRUE;
}
