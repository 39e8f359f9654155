// Play-to-first-sound: how long after Play the performance clock, which follows the audio the device has
// really played, starts to move for a piece whose first note is at its very start. Best of several plays.
// usage: bench_first_sound MIDIFILE   (prints "first-sound-ms N device|clock")
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>

#include "engine.h"
#include "engine_state.h"

namespace {

const int kPlays = 5;
const DWORD kGiveUpMs = 2000;

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to, const LARGE_INTEGER &frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One play: the time from PlayMidiFile until GetTime has moved past where it stood at Play; < 0 on failure.
double OnePlay() {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    REFERENCE_TIME rtAtPlay = 0, rtNow = 0;
    pPerformance->GetTime(&rtAtPlay, nullptr);
    QueryPerformanceCounter(&start);
    if (FAILED(PlayMidiFile(FALSE)))
        return -1;
    do {
        Sleep(0);
        pPerformance->GetTime(&rtNow, nullptr);
        QueryPerformanceCounter(&now);
    } while (rtNow <= rtAtPlay && Milliseconds(start, now, frequency) < kGiveUpMs);
    StopMidi();
    return rtNow > rtAtPlay ? Milliseconds(start, now, frequency) : -1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_first_sound MIDIFILE\n");
        return 2;
    }
    CoInitialize(nullptr);
    if (FAILED(InitDirectMusic(GetDesktopWindow())) || FAILED(InitAudioPath()) || FAILED(LoadMidiFile(argv[1])) ||
        FAILED(RemoveFilter())) {
        std::fprintf(stderr, "bench_first_sound: the engine could not be set up for %s\n", argv[1]);
        return 1;
    }
    double best = -1;
    for (int i = 0; i < kPlays; ++i) {
        double ms = OnePlay();
        if (ms >= 0 && (best < 0 || ms < best))
            best = ms;
        Sleep(200);
    }
    FreeDirectMusic();
    if (best < 0) {
        std::fprintf(stderr, "bench_first_sound: the clock never moved\n");
        return 1;
    }
    std::printf("first-sound-ms %.1f %s\n", best, waveOutGetNumDevs() > 0 ? "device" : "clock");
    return 0;
}
