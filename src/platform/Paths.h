#pragma once

#include <QString>

// Where the application keeps its files.
//
// With the environment variable ORVANE_HOME set (tests, demo runs), every folder lives
// under it: documents in ORVANE_HOME itself, preferences in ORVANE_HOME/config.
// Otherwise the XDG locations of the application are used.
class Paths
{
public:
    // The documents folder: database, file caches. Created when missing.
    static QString documents();
    // The folder of the preferences file and account files. Created when missing.
    static QString config();
    // Creates the folder with its parents unless something exists at the path.
    static bool ensurePath(const QString& path);
    // Why files cannot be written into the folder, in words a user can act on ("the disk is
    // full", "permission denied: ..."); empty when no such cause is seen.
    static QString writeProblem(const QString& folder);
};
