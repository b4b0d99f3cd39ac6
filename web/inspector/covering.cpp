// Worked out from the recorded triangles and lines, as the hit test works
// out a click: no pixel is read back from the GPU.
#include "covering.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

std::vector<double> answer;

bool overlap(const CanvasBox& a, const CanvasBox& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::size_t countTrue(const std::vector<bool>& mask)
{
    return static_cast<std::size_t>(std::count(mask.begin(), mask.end(), true));
}

}  // namespace

const double* covering(const RecordedFrame& frame, int shape, int shown)
{
    answer.assign(3, 0.0);
    const RecordedCall* chosen = nullptr;
    for (int i = 0; i < frame.count; ++i) {
        const RecordedCall& c = frame.calls[static_cast<std::size_t>(i)];
        if (c.shape == shape && c.shape < shown && c.visible) {
            chosen = &c;
        }
    }
    if (chosen == nullptr) {
        return answer.data();
    }
    const CanvasBox& box = chosen->box;
    const std::size_t pixels =
        static_cast<std::size_t>(box.right - box.left) * static_cast<std::size_t>(box.bottom - box.top);
    std::vector<bool> own(pixels, false);
    coveredPixels(chosen->onCanvas, frame.viewport, box, own);
    std::vector<bool> inSight = own;
    std::vector<bool> later(pixels, false);
    for (int i = static_cast<int>(chosen - frame.calls.data()) + 1; i < frame.count; ++i) {
        const RecordedCall& c = frame.calls[static_cast<std::size_t>(i)];
        if (c.shape < 0 || c.shape >= shown || !c.visible || !overlap(c.box, box)) {
            continue;
        }
        std::fill(later.begin(), later.end(), false);
        coveredPixels(c.onCanvas, frame.viewport, box, later);
        std::size_t covered = 0;
        for (std::size_t p = 0; p < pixels; ++p) {
            if (later[p] && own[p]) {
                ++covered;
                inSight[p] = false;
            }
        }
        if (covered > 0) {
            answer.push_back(c.shape);
            answer.push_back(static_cast<double>(covered));
        }
    }
    answer[0] = static_cast<double>(countTrue(own));
    answer[1] = static_cast<double>(countTrue(inSight));
    const std::size_t pairs = (answer.size() - 3) / 2;
    answer[2] = static_cast<double>(pairs);
    return answer.data();
}
