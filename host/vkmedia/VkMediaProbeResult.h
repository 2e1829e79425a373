#pragma once

#include "VkRational.h"

#include <cstdint>
#include <string>
#include <vector>

// One audio stream of a probed file; queries are made by the container's stream index.
struct VkAudioStreamInfo
{
    int streamIndex = -1;
    std::string codecName;
    int channels = 0;
    int sampleRate = 0;
    // Only where the format stores whole samples (PCM, FLAC, ALAC); 0 for lossy codecs.
    int bitsPerSample = 0;
    int64_t bitRate = 0;
};

// Everything the media information of a file answers, read from the file itself.
struct VkMediaProbeResult
{
    enum StreamFlag : int
    {
        Video = 1,
        Audio = 2,
        Image = 4,
    };

    std::string path;
    std::string containerName;
    int streamFlags = 0;
    double durationSeconds = 0.0;
    bool hasNoDuration = false;

    // Video (or the picture of a still image).
    int videoStreamIndex = -1;
    int64_t frameCount = 0;
    // True when frameCount came from the container header rather than from a packet scan.
    bool frameCountFromHeader = false;
    VkRational frameRate;
    int width = 0;
    int height = 0;
    std::string videoCodecName;
    int64_t videoBitRate = 0;
    std::string transferCharacteristics;
    std::string pixelFormatName;
    int bitsPerComponent = 0;
    bool hasAlpha = false;

    // Audio: every audio stream, and the one a player would pick.
    std::vector<VkAudioStreamInfo> audioStreams;
    int defaultAudioStreamIndex = -1;

    // Still images: EXIF facts, empty or invalid when the picture has none.
    std::string cameraMaker;
    std::string cameraModel;
    VkRational exposureTime;

    // The stream with this container index, or null.
    const VkAudioStreamInfo* audioStream(int streamIndex) const
    {
        for (const VkAudioStreamInfo& a : audioStreams) {
            if (a.streamIndex == streamIndex)
                return &a;
        }
        return nullptr;
    }
};
