#include "stats/BradleyTerry.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace tryzone
{

std::vector<double> BradleyTerryRatings(const std::vector<std::vector<double>>& wins)
{
    const std::size_t count = wins.size();
    std::vector<double> strength(count, 1.0);
    // Hunter's MM iterations: each converges monotonically to the maximum-likelihood strengths.
    for (int iteration = 0; iteration < 1000; ++iteration)
    {
        std::vector<double> next(count, 0.0);
        double logSum = 0.0;
        for (std::size_t i = 0; i < count; ++i)
        {
            double won = 0.0;
            double weight = 0.0;
            for (std::size_t j = 0; j < count; ++j)
            {
                if (i != j)
                {
                    won += wins[i][j];
                    weight += (wins[i][j] + wins[j][i]) / (strength[i] + strength[j]);
                }
            }
            next[i] = weight > 0.0 ? won / weight : 1.0;
            logSum += std::log(next[i]);
        }
        const double centre = std::exp(logSum / static_cast<double>(count));
        for (double& value : next)
        {
            value /= centre;
        }
        strength = std::move(next);
    }
    std::vector<double> ratings;
    for (const double value : strength)
    {
        ratings.push_back(400.0 * std::log10(value));
    }
    return ratings;
}

} // namespace tryzone
