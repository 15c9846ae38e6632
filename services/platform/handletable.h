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
    explicit HandleTable(std::uintptr_t first) : m_next(first) {}

    Handle add(Value value) {
        QMutexLocker locker(&m_mutex);
        const std::uintptr_t id = m_next;
        m_next += 4;
        m_entries.emplace(id, std::move(value));
        return reinterpret_cast<Handle>(id);
    }

    std::optional<Value> find(Handle handle) const {
        QMutexLocker locker(&m_mutex);
        const auto it = m_entries.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == m_entries.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    // False when the handle names no entry (never handed out, or removed).
    bool remove(Handle handle) {
        QMutexLocker locker(&m_mutex);
        return m_entries.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
    }

private:
    mutable QMutex m_mutex;
    std::map<std::uintptr_t, Value> m_entries;
    std::uintptr_t m_next;
};

}  // namespace tav::win::detail
