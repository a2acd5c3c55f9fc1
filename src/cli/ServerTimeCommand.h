#pragma once

#include "CliOptions.h"

// "server-time": asks the content server for its time and prints it with the offset of the
// device clock from it, as the application computes it.
class ServerTimeCommand
{
public:
    static int run(const CliOptions& options);
};
