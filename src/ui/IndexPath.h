#pragma once

// A row of a sectioned list: section, then row within it.
struct IndexPath
{
    int section = -1;
    int row = -1;

    bool isValid() const { return section >= 0 && row >= 0; }
    friend bool operator==(const IndexPath& a, const IndexPath& b)
    {
        return a.section == b.section && a.row == b.row;
    }
    friend bool operator!=(const IndexPath& a, const IndexPath& b) { return !(a == b); }
};
