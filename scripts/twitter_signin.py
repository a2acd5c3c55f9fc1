#!/usr/bin/env python3
"""Signs a demo user in to the reference microblog service for an application data folder.

Usage: twitter_signin.py CLI HOME API_BASE [SCREEN_NAME [PASSWORD]]

Runs "orvane-cli twitter login" with ORVANE_HOME=HOME and plays the user on the authorization
page (the demo users' password by default), so that HOME/config/twitter_accounts.json holds
the account, as a sign-in in the browser would leave it. Prints the account's identifier.
"""
import os
import re
import subprocess
import sys
import urllib.parse
import urllib.request


class NoRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args, **kwargs):
        return None


def main():
    cli, home, base = sys.argv[1:4]
    screen_name = sys.argv[4] if len(sys.argv) > 4 else "demo"
    password = sys.argv[5] if len(sys.argv) > 5 else "orvane-demo"
    env = dict(os.environ, ORVANE_HOME=home, QT_QPA_PLATFORM="offscreen")
    login = subprocess.Popen([cli, "--twitter-api", base, "twitter", "login"], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    url = None
    for line in login.stderr:
        found = re.search(r"(https?://\S+/oauth/authorize\S*)", line)
        if found:
            url = found.group(1)
            break
    if not url:
        login.kill()
        sys.exit("no authorization address from orvane-cli")
    token = urllib.parse.parse_qs(urllib.parse.urlparse(url).query)["oauth_token"][0]
    form = urllib.parse.urlencode({"oauth_token": token, "screen_name": screen_name,
                                   "password": password, "action": "allow"}).encode()
    opener = urllib.request.build_opener(NoRedirect)
    try:
        opener.open(urllib.request.Request(urllib.parse.urljoin(base, "oauth/authorize"), form), timeout=10)
        sys.exit("the service did not send the browser back")
    except urllib.error.HTTPError as redirect:
        back = redirect.headers.get("Location")
    urllib.request.urlopen(back, timeout=10).read()
    out, _ = login.communicate(timeout=20)
    if login.returncode != 0:
        sys.exit("orvane-cli twitter login failed")
    print(out.strip())


if __name__ == "__main__":
    main()
