// SPDX-License-Identifier: GPL-3.0-or-later
// Engine internals.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ostelvia::db::detail {

// Texts a scan decoded, by their stored bytes. Columns such as the room,
// the language or the departure date hold few values over 100,000 rows,
// and libmdb converts every field through iconv: that was a sixth of a
// month's export. A column whose values hardly repeat is no longer kept.
class TextMemo {
public:
    // The text of the stored bytes; `decode` gives it when they are new,
    // as a view valid until the next call.
    template <class Decode> std::string_view get(std::string_view stored, Decode&& decode)
    {
        if (off_)
            return decode();
        ++asked_;
        if (const auto it = texts_.find(stored); it != texts_.end()) {
            ++found_;
            return it->second;
        }
        if (asked_ >= kTrial && found_ * 2 < asked_) {
            off_ = true;
            texts_ = {};
            return decode();
        }
        const std::string_view text = decode();
        if (texts_.size() >= kMaxTexts)
            return text;
        return texts_.emplace(std::string(stored), std::string(text)).first->second;
    }

    static constexpr size_t kMaxTexts = 8192;
    static constexpr size_t kTrial = 1024;  // fields read before judging the column

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> texts_;
    size_t asked_ = 0;
    size_t found_ = 0;
    bool off_ = false;
};

}  // namespace ostelvia::db::detail
