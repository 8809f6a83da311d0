// The readable card sets: the classic faces and the small back drawn at twice
// the size for screens of high pixel density, and the four-colour faces
// (diamonds blue, clubs green) at both sizes. The four-colour deck has no
// backs of its own: the table shows the classic ones with it.

#include "tools/make_images/pictures.h"

std::vector<Picture> MakeReadableCardSets() {
    constexpr CardStyle kClassic2x{2, false};
    constexpr CardStyle kFourColours{1, true};
    constexpr CardStyle kFourColours2x{2, true};
    std::vector<Picture> pictures;
    const auto faces = [&](int firstId, const char* suffix, CardStyle style) {
        for (int card = 0; card < 52; ++card) {
            pictures.push_back({QString::number(firstId + card) + suffix, Depth::Colour16,
                                DrawFace(card, Depth::Colour16, style)});
        }
    };
    faces(301, "@2x", kClassic2x);
    pictures.push_back({"364@2x", Depth::Colour16, DrawSmallBack(2)});
    faces(401, "", kFourColours);
    faces(401, "@2x", kFourColours2x);
    return pictures;
}
