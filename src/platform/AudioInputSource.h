#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where an input audio queue's samples come from: 44100 Hz, mono, signed 16-bit.
class AudioInputSource
{
public:
    virtual ~AudioInputSource() = default;
    // A name for logs ("default input device", "silence", the file's path).
    virtual std::string name() const = 0;
    virtual void start() {}
    virtual void stop() {}
    // Reads count samples, waiting for them as a device would (or at once when not paced).
    // Returns fewer only at the end of a finite source.
    virtual size_t read(int16_t* samples, size_t count) = 0;

    // "default" (the default input device, or silence when there is none), "none"
    // (silence) or "file:PATH" (a WAV file, looped when loop is set). paced: deliver in
    // real time; otherwise as fast as the reader asks. Null with *error for a bad spec.
    static std::unique_ptr<AudioInputSource> create(const std::string& spec, bool paced, bool loop,
                                                    std::string* error);
};
