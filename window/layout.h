#pragma once

#include <array>
#include <cmath>
#include <functional>
#include <string>

namespace vorlund {

// The window's layout in twips, 1440 to the logical inch: 15 to a pixel at the standard 96 DPI.
struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

enum class Control { Label1_0, Label1_1, Dir1, Drive1, Drive2, Dir2, Text1, Text2, FailureLine };

struct Placement
{
    Control control;
    TwipsRect rect;
};

// The client area, with room below the classic layout for the line that reports what cannot be
// done (and, in its place, how far a long move got).
inline constexpr int clientWidthTwips = 5670;
inline constexpr int clientHeightTwips = 3675 + 360;

// In tab order. File1 to File3 only list files and take no place.
inline constexpr std::array<Placement, 9> controlPlaces{{
    {Control::Label1_0, {120, 120, 2535, 255}},
    {Control::Label1_1, {3000, 120, 2895, 255}},
    {Control::Dir1, {120, 960, 2535, 2115}},
    {Control::Drive1, {120, 480, 2535, 315}},
    {Control::Drive2, {3000, 480, 2535, 315}},
    {Control::Dir2, {3000, 960, 2535, 2115}},
    {Control::Text1, {120, 3240, 2535, 285}},
    {Control::Text2, {3000, 3240, 2535, 285}},
    {Control::FailureLine, {120, 3600, 5430, 330}},
}};

inline constexpr const char* Label1Captions[2] = {"Kies download directory",
                                                  "Kies bestemming voor downloads"};
// What Text1 and Text2 count, as a screen reader names them.
inline constexpr const char* countNames[2] = {"Downloads in progress",
                                              "Files downloaded and moved"};

// What Text1 and Text2 show.
inline std::string downloadsInProgressText(int count)
{
    return std::to_string(count) + " downloads in progress.";
}
inline std::string filesMovedText(int count)
{
    return std::to_string(count) + " files downloaded and moved";
}

// The line that reports what cannot be done, in red.
struct Rgb
{
    int red;
    int green;
    int blue;
};
inline constexpr Rgb failureColour{0xb0, 0x00, 0x20};

// Twips to pixels at a DPI, the whole layout grown by `scale` where the font asks for more room.
struct Twips
{
    int dpi = 96;
    double scale = 1.0;

    int pixels(int twips) const
    {
        return static_cast<int>(std::lround(twips * dpi * scale / 1440.0));
    }
};

// The layout was made for a small dialog font; a larger one grows the whole window alike, as
// dialog units do, until every fixed text shows in full: the captions, and the status texts with a
// count of five digits. `needed` gives the pixels a control needs to show a text whole, its frame
// included.
double scaleToFit(int dpi, const std::function<int(Control, const std::string&)>& needed);

} // namespace vorlund
