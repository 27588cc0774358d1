// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QObject>
#include <QPointer>

#include <optional>
#include <type_traits>
#include <utility>

namespace Tamarek::Internal {

// Tool runs and the passphrase dialog wait in nested event loops, where what
// the loop delivers may delete the object that waits. Each wait goes through
// this: it calls wait and comes back with its result only if the object still
// exists afterwards (for a wait without a result, whether it does).
//
//     const std::optional<ProcessResult> result = waitAlive(this, [&] { return run(); });
//     if (!result)
//         return; // gone meanwhile: touch nothing of this
template<typename Wait>
auto waitAlive(const QObject *object, Wait &&wait)
{
    const QPointer<const QObject> alive(object);
    using Result = std::invoke_result_t<Wait>;
    if constexpr (std::is_void_v<Result>) {
        std::forward<Wait>(wait)();
        return !alive.isNull();
    } else {
        std::optional<Result> result(std::forward<Wait>(wait)());
        if (!alive)
            result.reset();
        return result;
    }
}

} // namespace Tamarek::Internal
