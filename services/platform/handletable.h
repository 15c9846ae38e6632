#pragma once

// Objects handed out to callers as opaque handles: each handle is a number
// that names one entry, never a place in memory, so a stale or made-up handle
// is found missing instead of being followed. Safe to use from any thread.

#include <QMutex>
#include <QMutexLocker>
#include <cstdint>
#include <map>
#include <optional>

namespace tav::win::detail {

template <typename Handle, typename Value>
class HandleTable {
public:
    // Handles start at `first` and step by 4, so that they look aligned like
    // the pointers they stand for and none is null.
    explicit HandleTable(std::uintptr_t first) : next_(first) {}

    Handle add(Value value) {
        QMutexLocker locker(&mutex_);
        const std::uintptr_t id = next_;
        next_ += 4;
        entries_.emplace(id, std::move(value));
        return reinterpret_cast<Handle>(id);
    }

    std::optional<Value> find(Handle handle) const {
        QMutexLocker locker(&mutex_);
        const auto it = entries_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == entries_.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    // False when the handle names no entry (never handed out, or removed).
    bool remove(Handle handle) {
        QMutexLocker locker(&mutex_);
        return entries_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
    }

private:
    mutable QMutex mutex_;
    std::map<std::uintptr_t, Value> entries_;
    std::uintptr_t next_;
};

}  // namespace tav::win::detail
