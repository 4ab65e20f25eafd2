#include "CompressionProfiles.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace Talmaro {

namespace {

// Low to high. The Windows Media Audio encoder refuses bitrates too low for
// the sample rate, so the lowest rungs lower the rate and go to mono.
const std::array<CompressionProfile, 7> &Profiles()
{
    static const std::array<CompressionProfile, 7> profiles { {
        { QUuid(QStringLiteral("{eaba9fbf-b64f-49b3-aa0c-73fbdd150ad0}")),
            QUuid(QStringLiteral("{c2b7a7e9-7b8e-4992-a1a1-068217a3b311}")), { 16000, 1, 24000 },
            { 160, 120, 15, 64000, { 16000, 1, 24000 } } },
        { QUuid(QStringLiteral("{e96d67c9-1a39-4dc4-b900-b1184dc83620}")),
            QUuid(QStringLiteral("{d9f3c932-5ea9-4c6d-89b4-2686e515426e}")), { 22050, 1, 32000 },
            { 176, 144, 15, 100000, { 22050, 1, 32000 } } },
        { QUuid(QStringLiteral("{674ee767-0949-4fac-875e-f4c9c292013b}")),
            QUuid(QStringLiteral("{afe69b3a-403f-4a1b-8007-0e21cfb3df84}")), { 32000, 1, 40000 },
            { 240, 180, 15, 160000, { 32000, 1, 40000 } } },
        { QUuid(QStringLiteral("{91dea458-9d60-4212-9c59-d40919c939e4}")),
            QUuid(QStringLiteral("{f3d45fbb-8782-44df-97c6-8678e2f9b13d}")), { 44100, 2, 48000 },
            { 320, 240, 25, 300000, { 44100, 2, 48000 } } },
        { QUuid(QStringLiteral("{b29cffc6-f131-41db-b5e8-99d8b0b945f4}")),
            QUuid(QStringLiteral("{0326ebb6-f76e-4964-b0db-e729978d35ee}")), { 44100, 2, 64000 },
            { 320, 240, 30, 500000, { 44100, 2, 64000 } } },
        { QUuid(QStringLiteral("{a9d4b819-16cc-4a59-9f37-693dbb0302d6}")),
            QUuid(QStringLiteral("{0b89164a-5490-4686-9e37-5a80884e5146}")), { 44100, 2, 96000 },
            { 640, 480, 30, 1000000, { 44100, 2, 96000 } } },
        { QUuid(QStringLiteral("{c64cf5da-df45-40d3-8027-de698d68dc66}")),
            QUuid(QStringLiteral("{aa980124-bf10-4e4f-9afd-4329a7395cff}")), { 44100, 2, 128000 },
            { 640, 480, 30, 2000000, { 44100, 2, 128000 } } },
    } };
    return profiles;
}

std::atomic<short> g_compressionLevel { kInitialCompressionLevel };

} // namespace

short EffectiveCompressionLevel(short level)
{
    return level >= kMinCompressionLevel && level <= kMaxCompressionLevel ? level : kFallbackCompressionLevel;
}

const CompressionProfile &ProfileForLevel(short level)
{
    return Profiles()[static_cast<size_t>(EffectiveCompressionLevel(level))];
}

short CompressionLevel()
{
    return g_compressionLevel.load();
}

void SetCompressionLevel(short level)
{
    g_compressionLevel.store(level);
}

unsigned AsfPacketSize(int totalBitrate)
{
    constexpr int kSmallest = 512;
    constexpr int kLargest = 4800;
    const int tenthOfASecond = totalBitrate / 8 / 10;
    return static_cast<unsigned>(std::clamp(tenthOfASecond, kSmallest, kLargest));
}

} // namespace Talmaro
