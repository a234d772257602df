#include "window/layout.h"

#include <algorithm>
#include <utility>

namespace vorlund {

double scaleToFit(int dpi, const std::function<int(Control, const std::string&)>& needed)
{
    const int widestCount = 32767;
    const std::pair<Control, std::string> texts[] = {
        {Control::Label1_0, Label1Captions[0]},
        {Control::Label1_1, Label1Captions[1]},
        {Control::Text1, downloadsInProgressText(widestCount)},
        {Control::Text2, filesMovedText(widestCount)},
    };
    const Twips unscaled{dpi, 1.0};
    double scale = 1.0;
    for (const auto& [control, text] : texts) {
        const auto place = std::ranges::find(controlPlaces, control, &Placement::control);
        scale = std::max(scale, double(needed(control, text)) / unscaled.pixels(place->rect.width));
    }
    return scale;
}

} // namespace vorlund
