#pragma once

class CliSession;

// "details LINK": the details of a show from its "orvane://progdetails/..." link.
class DetailsCommand
{
public:
    static int run(CliSession& session);
};
