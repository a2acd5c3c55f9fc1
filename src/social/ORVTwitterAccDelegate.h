#pragma once

#include <QString>

// Told which account the user picked in the account chooser.
class ORVTwitterAccDelegate
{
public:
    virtual ~ORVTwitterAccDelegate() = default;
    virtual void accountDidSelectWithId(const QString& identifier, const QString& name) = 0;
};
