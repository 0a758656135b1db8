#include "shards/Shards.h"

#include <charconv>
#include <string_view>

namespace tryzone
{

namespace
{
constexpr int kMostShards = 100000;

std::optional<int> WholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? std::optional<int>(value) : std::nullopt;
}
} // namespace

Expected<Shard> ParseShard(const std::string& text)
{
    const std::size_t slash = text.find('/');
    const auto index = WholeNumber(std::string_view(text).substr(0, slash));
    const auto count =
        slash == std::string::npos ? std::nullopt : WholeNumber(std::string_view(text).substr(slash + 1));
    if (!index || !count || *count < 1 || *count > kMostShards || *index < 0 || *index >= *count)
    {
        return Unexpected{"bad value for --shard: '" + text + "' (K/N: shard K of N, K from 0 to N-1, N from 1 to " +
                          std::to_string(kMostShards) + ")"};
    }
    return Shard{*index, *count};
}

TaskRange ShardTasks(Shard shard, int taskTotal)
{
    const auto bound = [taskTotal, shard](int index)
    { return static_cast<int>(static_cast<long long>(taskTotal) * index / shard.count); };
    return {bound(shard.index), bound(shard.index + 1) - bound(shard.index)};
}

} // namespace tryzone
