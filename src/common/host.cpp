#include "common/host.h"

namespace {
AppHost* g_host = nullptr;
}

AppHost& appHost() {
    static AppHost defaults;
    return g_host ? *g_host : defaults;
}

void installAppHost(AppHost* h) { g_host = h; }
