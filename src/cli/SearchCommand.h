#pragma once

class CliSession;

// "search TEXT": the shows of the city's schedule that match, by start time, with their channel.
class SearchCommand
{
public:
    static int run(CliSession& session);
};
