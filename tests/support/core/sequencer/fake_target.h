// Deterministic stand-in synthesizer for player tests: logs every message with its sample position and renders
// one decaying sine per sounding key.
#pragma once

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sequencer/sound_target.h"

namespace tw::sequencer::test {

class FakeTarget : public SoundTarget {
public:
    struct Message {
        int64_t sample;   // samples rendered before the message arrived
        std::string what; // "on 0 60 100", "off 0 60", "cc 0 7 100", "prog 0 5", ...
        bool operator==(const Message &o) const { return sample == o.sample && what == o.what; }
    };

    explicit FakeTarget(int rate = 44100, float releasePerSample = 0.999f) : rate_(rate), release_(releasePerSample) {}

    void noteOn(int ch, int key, int vel) override {
        if (logging)
            log("on " + std::to_string(ch) + " " + std::to_string(key) + " " + std::to_string(vel));
        Voice &v = voices_[ch * 128 + key];
        v.level = vel / 127.0f * 0.5f;
        v.held = true;
    }
    void noteOff(int ch, int key) override {
        if (logging)
            log("off " + std::to_string(ch) + " " + std::to_string(key));
        voices_[ch * 128 + key].held = false;
    }
    void controlChange(int ch, int cc, int value) override {
        if (logging)
            log("cc " + std::to_string(ch) + " " + std::to_string(cc) + " " + std::to_string(value));
        if (cc == 64)
            pedal_[ch] = value >= 64;
    }
    void programChange(int ch, int prog) override {
        if (logging)
            log("prog " + std::to_string(ch) + " " + std::to_string(prog));
    }
    void pitchBend(int ch, int value) override {
        if (logging)
            log("bend " + std::to_string(ch) + " " + std::to_string(value));
    }
    void channelPressure(int ch, int value) override {
        if (logging)
            log("cp " + std::to_string(ch) + " " + std::to_string(value));
    }
    void keyPressure(int ch, int key, int value) override {
        if (logging)
            log("kp " + std::to_string(ch) + " " + std::to_string(key) + " " + std::to_string(value));
    }
    void sysEx(const uint8_t *data, size_t size) override {
        if (logging)
            log("sysex " + std::to_string(size) + " " + std::to_string(size ? data[0] : 0));
    }
    void reset() override {
        if (logging)
            log("reset");
        for (Voice &v : voices_)
            v = Voice();
        for (bool &p : pedal_)
            p = false;
    }
    void setMasterVolume(int hundredthsDb) override { volume = hundredthsDb; }
    // The frames before the offset are rendered at once into a buffer that the next render() hands out first, so
    // that the messages that follow sound from their frame.
    void setEventOffset(int frames) override {
        frames = std::min(frames, kAhead);
        if (frames <= ahead_)
            return;
        float right[kAhead];
        synthesize(aheadLeft_ + ahead_, right, frames - ahead_);
        ahead_ = frames;
    }
    void render(float *left, float *right, int frames) override {
        if (logging)
            calls.push_back(frames);
        const int early = std::min(frames, ahead_);
        for (int i = 0; i < early; ++i) {
            left[i] = aheadLeft_[i];
            right[i] = -aheadLeft_[i];
        }
        std::copy(aheadLeft_ + early, aheadLeft_ + ahead_, aheadLeft_);
        ahead_ -= early;
        synthesize(left + early, right + early, frames - early);
    }
    int sampleRate() const override { return rate_; }

    std::vector<Message> messages;
    std::vector<int> calls; // frame counts of every render call
    int volume = 0;
    bool logging = true; // off where a test counts allocations: the log itself allocates

private:
    void synthesize(float *left, float *right, int frames) {
        for (int i = 0; i < frames; ++i) {
            float sum = 0;
            for (int k = 0; k < 16 * 128; ++k) {
                Voice &v = voices_[k];
                if (v.level < 1e-7f)
                    continue;
                const double freq = 440.0 * std::pow(2.0, ((k % 128) - 69) / 12.0);
                sum += v.level * static_cast<float>(std::sin(6.283185307179586 * freq * v.age / rate_));
                ++v.age;
                if (!v.held && !pedal_[k / 128])
                    v.level *= release_;
            }
            left[i] = sum;
            right[i] = -sum;
        }
        rendered_ += frames;
    }

    struct Voice {
        float level = 0;
        bool held = false;
        int64_t age = 0;
    };
    void log(const std::string &what) { messages.push_back({rendered_, what}); }

    int rate_;
    float release_;
    static constexpr int kAhead = 64; // the player's grid block
    int64_t rendered_ = 0;            // samples synthesized, including those waiting in aheadLeft_
    float aheadLeft_[kAhead] = {};    // left channel of frames synthesized before a message, not yet handed out
    int ahead_ = 0;
    Voice voices_[16 * 128];
    bool pedal_[16] = {};
};

} // namespace tw::sequencer::test
