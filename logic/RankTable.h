#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace namoro::logic {

struct Rank {
    double threshold;          // met by a score at least this high
    std::string_view caption;
};

inline constexpr std::array<Rank, 7> kRanks{{
    {-1000, "凸(-v-)凸"},
    {-100, "凸(▼△▼メ)"},
    {100, "Ｖ(>_<)Ｖ"},
    {500, "(゜～゜)。。"},
    {1000, "凹(０－０)凹"},
    {1500, "V(◎∀◎)V"},
    {2000, "ナモロクリア"},
}};

// The caption of the highest threshold the score meets; below the lowest there is none.
inline std::optional<std::string_view> rankCaption(double score)
{
    std::optional<std::string_view> caption;
    for (const Rank& rank : kRanks) {
        if (score >= rank.threshold)
            caption = rank.caption;
    }
    return caption;
}

} // namespace namoro::logic
