#pragma once

class CliSession;

// "channels": the channel groups of the city, category by category, TV and radio marked.
class ChannelsCommand
{
public:
    static int run(CliSession& session);
};
