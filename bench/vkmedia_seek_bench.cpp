// vkmedia_seek_bench FILE WIDTH HEIGHT [TARGET...]: times the frame renderer as the player uses it, at
// the player's preview size, and prints one JSON line. With targets, "seeks": the milliseconds each
// TARGET takes in a player session resting half the clip away (a random seek: neither the decoder's
// position nor the kept pictures help). Without, "forward": single steps forward (playback, the
// arrow key) and "backward": single steps back from the end of the clip, deep in a group.

#include <vkmedia/VkFrameRenderer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Steps timed in each direction; more than a 1080p picture budget of the decoded-frame cache holds,
// so that the backward figure includes the re-decodes.
constexpr int kSteps = 100;

double millisecondsOf(VkFrameRenderer& renderer, int64_t frame, int width, int height,
                      std::vector<uint8_t>& pixels, bool* ok)
{
    const auto begin = std::chrono::steady_clock::now();
    std::string error;
    if (!renderer.renderFrame(frame, width, height, pixels.data(), &error)) {
        std::fprintf(stderr, "frame %lld: %s\n", static_cast<long long>(frame), error.c_str());
        *ok = false;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

void printList(const char* name, const std::vector<double>& values, bool last)
{
    std::printf("\"%s\": [", name);
    for (size_t i = 0; i < values.size(); ++i)
        std::printf("%s%.2f", i ? ", " : "", values[i]);
    std::printf("]%s", last ? "" : ", ");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE WIDTH HEIGHT [TARGET...]\n", argv[0]);
        return 1;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    VkFrameRenderer renderer;
    std::string error;
    if (!renderer.open(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const int64_t count = renderer.frameCount();
    if (count < 2 * kSteps || width <= 0 || height <= 0) {
        std::fprintf(stderr, "need a clip of at least %d frames and a size\n", 2 * kSteps);
        return 1;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    bool ok = true;
    if (argc > 4) {
        std::vector<double> seeks;
        for (int i = 4; i < argc; ++i) {
            const int64_t target = std::atoll(argv[i]);
            millisecondsOf(renderer, (target + count / 2) % count, width, height, pixels, &ok);
            seeks.push_back(millisecondsOf(renderer, target, width, height, pixels, &ok));
        }
        std::printf("{");
        printList("seeks", seeks, true);
        std::printf("}\n");
        return ok ? 0 : 1;
    }
    // Forward from a seek, then back down over the same frames and beyond.
    std::vector<double> forward;
    std::vector<double> backward;
    const int64_t start = count / 2 - kSteps;
    millisecondsOf(renderer, start, width, height, pixels, &ok);
    for (int64_t f = start + 1; f <= start + kSteps; ++f)
        forward.push_back(millisecondsOf(renderer, f, width, height, pixels, &ok));
    // A fresh position deep in a group, reached by a seek, then steps back from it.
    const int64_t deep = count - 1;
    millisecondsOf(renderer, deep, width, height, pixels, &ok);
    for (int64_t f = deep - 1; f >= deep - kSteps; --f)
        backward.push_back(millisecondsOf(renderer, f, width, height, pixels, &ok));
    std::printf("{");
    printList("forward", forward, false);
    printList("backward", backward, true);
    std::printf("}\n");
    return ok ? 0 : 1;
}
