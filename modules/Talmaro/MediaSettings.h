#pragma once

namespace Talmaro {

// The device choices of the user profile, section "Media": read when the
// control's window is made, written back when it is destroyed.
struct MediaChoices
{
    int audioOnly = 0; // "Audio Only": record sound alone even with a camera
    int videoOnly = 0; // "Video Only": record the picture without sound
    int audioInput = 0; // "Audio Input": index of the chosen microphone
    int videoInput = 0; // "Video Input": index of the chosen camera

    bool operator==(const MediaChoices &other) const = default;
};

MediaChoices ReadMediaChoices();
void WriteMediaChoices(const MediaChoices &choices);

} // namespace Talmaro
