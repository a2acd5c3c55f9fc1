#pragma once

class CliSession;

// "settings": the stored city and the switches of the application; "settings city ID|NAME"
// chooses the city as the city chooser does (its channel map fetched and kept, the caches of
// the old city dropped).
class SettingsCommand
{
public:
    static int run(CliSession& session);
};
