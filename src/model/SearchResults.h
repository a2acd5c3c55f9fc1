#pragma once

#include "model/Show.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

// The results of a schedule search without painting: all shows found in start-time order,
// the distinct categories among them, and the shows of the chosen category.
class SearchResults
{
public:
    struct Category
    {
        int categoryId = 0;
        QString categoryName;
        friend bool operator==(const Category& a, const Category& b)
        {
            return a.categoryId == b.categoryId && a.categoryName == b.categoryName;
        }
    };

    // Takes a search answer (shows under numeric keys, server times moved by the offset).
    // Anything but a dictionary leaves the earlier results. Either way the choice of
    // category goes back to all.
    void takeAnswer(const QVariant& answer, double serverTimeDifference);

    const QList<std::shared_ptr<Show>>& arraySearchResults() const { return m_all; }
    const QList<std::shared_ptr<Show>>& arrayFilteredResults() const { return m_filtered; }
    const QList<Category>& arrayCategories() const { return m_categories; }
    const std::optional<Category>& selectedCategory() const { return m_selected; }

    // None: all results.
    void selectCategory(const std::optional<Category>& category);

private:
    QList<std::shared_ptr<Show>> m_all;
    QList<std::shared_ptr<Show>> m_filtered;
    QList<Category> m_categories;
    std::optional<Category> m_selected;
};
