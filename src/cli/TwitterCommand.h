#pragma once

class CliSession;

// orvane-cli twitter login [--pin] | logout | whoami | timeline [--count N] [--max-id ID]
//                     | mentions [--count N] [--max-id ID] | post TEXT [--reply-to ID]
//                     | retweet ID | delete ID
// Signs in to the microblog service (OAuth 1.0a: the authorization page in a browser, which
// returns to a local address, or with --pin a PIN typed here) and uses the account kept for it.
class TwitterCommand
{
public:
    static int run(CliSession& session);
};
