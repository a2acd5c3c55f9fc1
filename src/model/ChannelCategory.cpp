#include "ChannelCategory.h"

#include "platform/JsonValue.h"

std::shared_ptr<ChannelCategory> ChannelCategory::initWithArray(const QVariantList& array)
{
    auto category = std::make_shared<ChannelCategory>();
    category->m_arrayPresentation = array;
    return category;
}

QString ChannelCategory::name() const
{
    return m_arrayPresentation.isEmpty() ? QString() : JsonValue::text(m_arrayPresentation.at(0));
}

int ChannelCategory::order() const
{
    return m_arrayPresentation.size() < 2 ? 0 : JsonValue::integer(m_arrayPresentation.at(1));
}

QString ChannelCategory::iconName() const
{
    static const char* const icons[] = {nullptr,    "type_010", "type_007", "type_011", "type_005",
                                        "type_014", "type_013", "type_009", "type_015", "type_001",
                                        "type_003", "type_012", "type_016", "type_017"};
    if (m_categoryId < 1 || m_categoryId > 13)
        return {};
    return QString::fromLatin1(icons[m_categoryId]);
}
