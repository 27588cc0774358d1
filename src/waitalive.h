// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QObject>
#include <QPointer>

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

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

// The same for a callback that may come after its object went (a tool's
// output handler, a run's work): call only while object exists, otherwise
// give otherwise.
//
//     OutputHandler(ifAlive(this, [this](...) { return handle(...); }, false));
template<typename Callback, typename Otherwise = std::monostate>
auto ifAlive(const QObject *object, Callback callback, Otherwise otherwise = {})
{
    return [alive = QPointer<const QObject>(object),
            callback = std::move(callback),
            otherwise = std::move(otherwise)](auto &&...args) mutable {
        using Result = std::invoke_result_t<Callback &, decltype(args)...>;
        if constexpr (std::is_void_v<Result>) {
            if (alive)
                callback(std::forward<decltype(args)>(args)...);
        } else {
            return alive ? callback(std::forward<decltype(args)>(args)...) : Result(otherwise);
        }
    };
}

} // namespace Tamarek::Internal
