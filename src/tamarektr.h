// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QCoreApplication>
#include <QLocale>

namespace Tamarek {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(QtC::Tamarek)

public:
    // The language the plug-in speaks, set when its translation is chosen:
    // dates follow it, not the system's locale.
    static QLocale locale() { return storedLocale(); }
    static void setLocale(const QLocale &locale) { storedLocale() = locale; }

private:
    static QLocale &storedLocale()
    {
        static QLocale locale;
        return locale;
    }
};

} // namespace Tamarek
