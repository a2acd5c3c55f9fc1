#pragma once

class CliSession;

// The local database and the reminders:
//   favorites [add ID | remove ID]      the favourite channels (adding fetches the channel)
//   history [--clear]                   the shows watched, oldest first
//   remind LINK [--alarm "YYYY-MM-DD HH:MM"] | --delete LINK | --clear-all | --clear-past
class StorageCommands
{
public:
    static int favorites(CliSession& session);
    static int history(CliSession& session);
    static int remind(CliSession& session);
};
