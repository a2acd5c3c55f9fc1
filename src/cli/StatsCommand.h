#pragma once

class CliSession;

// "stats": the statistics page the content server renders for this device, as text.
class StatsCommand
{
public:
    static int run(CliSession& session);
};
