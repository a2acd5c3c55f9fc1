#pragma once

#include "IndexPath.h"

class QPainter;
class QRect;

// What a list table asks of the screen that fills it: counts, heights and the painting of
// each row. Rows are painted when they are on screen, never built as widgets.
class ListTableSource
{
public:
    struct RowState
    {
        bool highlighted = false; // pressed or selected
    };

    virtual ~ListTableSource() = default;
    virtual int numberOfSections() const { return 1; }
    virtual int numberOfRowsInSection(int section) const = 0;
    virtual int heightForRow(const IndexPath& path) const { return 44; }
    // Clear space above a section's first row; 0 for none.
    virtual int heightForHeaderInSection(int section) const { return 0; }
    virtual void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) = 0;
};
