// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include <cstdlib>

// Preloaded into the IDE after the sanitizers' runtime: the tools the IDE
// starts are built without the sanitizers and must not get the runtime too,
// which would report their leaks and catch their signals.
__attribute__((constructor)) static void forgetPreload()
{
    unsetenv("LD_PRELOAD");
}
