#include "model/Overlap.h"

#include <algorithm>
#include <cmath>

namespace corvalt {

bool CirclesMeet(const TConductorCircle& a, const TConductorCircle& b) {
    const double dx = a.X - b.X;
    const double dy = a.Y - b.Y;
    const double reach = a.Radius + b.Radius;
    return dx * dx + dy * dy <= reach * reach;
}

std::vector<int> SweepOrder(std::span<const TConductorCircle> circles) {
    std::vector<int> order;
    std::vector<double> leftEdge(circles.size());
    order.reserve(circles.size());
    for (std::size_t i = 0; i < circles.size(); ++i) {
        leftEdge[i] = circles[i].X - circles[i].Radius;
        if (!std::isnan(leftEdge[i])) order.push_back(static_cast<int>(i));
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const double edgeA = leftEdge[static_cast<std::size_t>(a)];
        const double edgeB = leftEdge[static_cast<std::size_t>(b)];
        return edgeA < edgeB || (edgeA == edgeB && a < b);
    });
    return order;
}

TIndexPair FirstMeetingPair(std::span<const TConductorCircle> circles) {
    TIndexPair first;
    ForEachPairMeetingInX(circles, [&](int i, int j) {
        if (!CirclesMeet(circles[static_cast<std::size_t>(i)],
                         circles[static_cast<std::size_t>(j)]))
            return;
        if (!first.Found() || i < first.First || (i == first.First && j < first.Second))
            first = {i, j};
    });
    return first;
}

} // namespace corvalt
