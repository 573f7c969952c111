// SPDX-License-Identifier: GPL-3.0-or-later
// A small least-recently-used map. Engine internals.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

namespace ostelvia::db::detail {

// A small least-recently-used map.
template <class V, class K = std::string> class LruCache {
public:
    explicit LruCache(size_t capacity) : capacity_(capacity) { }

    V* get(const K& key)
    {
        auto it = index_.find(key);
        if (it == index_.end())
            return nullptr;
        order_.splice(order_.begin(), order_, it->second);
        return &it->second->second;
    }

    void put(const K& key, V value)
    {
        // One look-up whether the key is new or not.
        const auto [slot, added] = index_.try_emplace(key);
        if (!added) {
            order_.splice(order_.begin(), order_, slot->second);
            slot->second->second = std::move(value);
            return;
        }
        try {
            order_.emplace_front(key, std::move(value));
        } catch (...) {
            index_.erase(slot);
            throw;
        }
        slot->second = order_.begin();
        if (order_.size() > capacity_) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
    }

    size_t size() const { return order_.size(); }

    void clear()
    {
        index_.clear();
        order_.clear();
    }

private:
    size_t capacity_;
    std::list<std::pair<K, V>> order_;
    std::unordered_map<K, typename std::list<std::pair<K, V>>::iterator> index_;
};

}  // namespace ostelvia::db::detail
