#pragma once

#include <QtGlobal>

// What the tablet's Twitter panels and the composer tell the screen that opened them.
class ORVTwitterDelegate
{
public:
    static constexpr int OpDeleted = 1;

    virtual ~ORVTwitterDelegate() = default;
    // Done: close the panel.
    virtual void twitterDidFinish() {}
    // op 0 or less: close; OpDeleted: the tweet shown was deleted.
    virtual void twitterDidFinishWithOp(int op) { Q_UNUSED(op) }
};
