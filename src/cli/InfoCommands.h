#pragma once

class CliSession;

// The short listings: "cities", "ratings", "maplist", "status".
class InfoCommands
{
public:
    static int cities(CliSession& session);
    static int ratings(CliSession& session);
    static int mapList(CliSession& session);
    static int status(CliSession& session);
};
