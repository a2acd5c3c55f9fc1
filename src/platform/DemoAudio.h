#pragma once

#include <climits>
#include <cstdint>

// Deterministic synthetic programme audio, 44100 Hz mono 16-bit, as demo material for live
// channels and for the identification's evaluation: "music" (chords of harmonic tones
// changing on a beat, with percussion) and "speech" (voiced syllables with a moving pitch
// and vowel formants, fricatives, pauses). Any stretch can be rendered on its own: a sample
// depends only on the seed and its index, so clips of any moment are cheap to take.
class DemoAudio
{
public:
    enum class Kind
    {
        Music,
        Speech
    };
    static constexpr int SampleRate = 44100;

    DemoAudio(uint32_t seed, Kind kind);

    // Samples [first, first + count) of this programme.
    void render(int64_t first, int count, int16_t* out) const;

    // The demo channel kinds: even ids speech, odd ids music.
    static Kind kindOf(int channelId) { return channelId % 2 == 0 ? Kind::Speech : Kind::Music; }

private:
    // What the current beat or syllable needs, worked out once for its samples.
    struct Segment
    {
        int64_t index = INT64_MIN;
        int64_t cell = INT64_MIN;
        int64_t start = 0;
        double kind = 0;
        double decay = 0; // music: the notes' decay rate
        double pitch = 0; // speech: the pitch at the syllable's start; music: the melody note
        double slope = 0;
        double frequency[3] = {};
        double gain[12] = {}; // speech: the formants' gains; music: the timbre's harmonics
    };

    double musicSample(int64_t n, Segment& segment) const;
    double speechSample(int64_t n, Segment& segment) const;

    uint32_t m_seed;
    Kind m_kind;
};
