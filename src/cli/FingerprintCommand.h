#pragma once

#include "CliOptions.h"

// "fingerprint FILE.wav [--every SECONDS] [--bytes]": the sub-fingerprints of a 16-bit PCM
// WAV at 44100 Hz. The state is reset once (blocks of 512, hop 64); all samples go through
// the decimation in buffers of 367; one block is extracted at the end, or, with --every,
// each time a whole multiple of round(SECONDS x 44100) samples has been fed (the input is
// split exactly there). Each block prints as 512 lines of 8 hexadecimal digits, oldest
// first, or with --bytes as its 2048 little-endian bytes in hexadecimal on one line;
// blocks are separated by an empty line. Exit status 2 for a file that is not such a WAV.
class FingerprintCommand
{
public:
    static int run(const CliOptions& options);
};
