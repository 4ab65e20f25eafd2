#pragma once

#include <QtCore/QUuid>

// The encoding profiles chosen by the compression level, 0 (smallest files)
// to 6 (best quality). Each level keeps the identifier of the Windows Media
// system profile it stands for, for reference; what the encoders are given is
// the sample rate, channels, frame size and bitrates of the same rung.
namespace Talmaro {

struct AudioProfile
{
    int sampleRate = 0; // Hz
    int channels = 0;
    int bitrate = 0; // bits per second
};

struct VideoProfile
{
    int width = 0;
    int height = 0;
    int framesPerSecond = 0;
    int bitrate = 0; // bits per second, the picture alone
    AudioProfile audio; // the sound recorded beside the picture
};

struct CompressionProfile
{
    QUuid audioProfileId; // the ".wma" profile of the level
    QUuid videoProfileId; // the ".asf" profile of the level
    AudioProfile audio;
    VideoProfile video;
};

inline constexpr short kMinCompressionLevel = 0;
inline constexpr short kMaxCompressionLevel = 6;
inline constexpr short kInitialCompressionLevel = 4;
inline constexpr short kFallbackCompressionLevel = 3;

// The level whose profiles a stored level uses: a level outside 0 to 6 uses 3.
short EffectiveCompressionLevel(short level);
const CompressionProfile &ProfileForLevel(short level);

// The process-wide compression level, shared by every control (initially 4).
// It keeps whatever value was set; ProfileForLevel() maps it.
short CompressionLevel();
void SetCompressionLevel(short level);

// ASF packet size for a stream of this total bitrate: small enough that the
// first packet reaches the disk within about a tenth of a second, so little is
// lost if the program stops, and no larger than the muxer's usual packet.
unsigned AsfPacketSize(int totalBitrate);

} // namespace Talmaro
