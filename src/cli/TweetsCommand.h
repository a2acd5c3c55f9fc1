#pragma once

class CliSession;

// "tweets CHANNEL [--limit N]": the channel talk of the last seven days, newest as sent.
class TweetsCommand
{
public:
    static int run(CliSession& session);
};
