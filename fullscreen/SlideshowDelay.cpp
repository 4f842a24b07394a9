#include "SlideshowDelay.h"

#include "InfoPanelText.h"

#include <algorithm>
#include <iterator>

std::chrono::milliseconds SlideshowDelay::longer(std::chrono::milliseconds delay)
{
    for (const std::chrono::milliseconds step : Steps) {
        if (step > delay)
            return step;
    }
    return std::max(delay, std::chrono::milliseconds(std::end(Steps)[-1]));
}

std::chrono::milliseconds SlideshowDelay::shorter(std::chrono::milliseconds delay)
{
    for (auto step = std::rbegin(Steps); step != std::rend(Steps); ++step) {
        if (*step < delay)
            return *step;
    }
    return delay;
}

QString SlideshowDelay::text(std::chrono::milliseconds delay)
{
    return InfoPanelText::decimalText(double(delay.count()) / 1000) + QStringLiteral(" s");
}
