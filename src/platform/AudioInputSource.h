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
    // (silence), "file:PATH" (a WAV file, looped when loop is set), "demo:ID" (a demo
    // channel's programme as it airs now) or "demo-room:ID" (the same heard across a room;
    // DemoProgrammeSource, always paced). paced: deliver in real time; otherwise as fast as
    // the reader asks. Null with *error for a bad spec.
    static std::unique_ptr<AudioInputSource> create(const std::string& spec, bool paced, bool loop,
                                                    std::string* error);
    // Whether spec has one of the forms above (without opening anything).
    static bool isSpec(const std::string& spec);
    static constexpr const char* SpecForms = "default, none, file:PATH, demo:ID or demo-room:ID";
};
