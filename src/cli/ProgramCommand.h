#pragma once

class CliSession;

// "program CHANNEL [--date YYYY-MM-DD]": a channel's programme for a programme day, times on
// the device clock, the show on air marked. Answered from the cache when it can be.
class ProgramCommand
{
public:
    static int run(CliSession& session);
};
