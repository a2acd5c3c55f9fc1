#include "SearchResults.h"

#include "model/ShowsAnswer.h"
#include "platform/JsonValue.h"

void SearchResults::takeAnswer(const QVariant& answer, double serverTimeDifference)
{
    if (JsonValue::isMap(answer)) {
        m_all = ShowsAnswer::showsFromAnswer(answer.toMap(), serverTimeDifference,
                                             ShowsAnswer::Picture::ChannelIcon);
        // Categories are few (a few dozen at most): a linear look-up is enough.
        m_categories.clear();
        for (const std::shared_ptr<Show>& show : std::as_const(m_all)) {
            const Category category{show->showCategory, show->showCategoryString()};
            if (!m_categories.contains(category))
                m_categories.append(category);
        }
    }
    ShowsAnswer::sortByStartTime(m_all);
    selectCategory(std::nullopt);
}

void SearchResults::selectCategory(const std::optional<Category>& category)
{
    m_selected = category;
    if (!category) {
        m_filtered = m_all;
        return;
    }
    m_filtered.clear();
    for (const std::shared_ptr<Show>& show : std::as_const(m_all)) {
        if (show->showCategory == category->categoryId)
            m_filtered.append(show);
    }
}
