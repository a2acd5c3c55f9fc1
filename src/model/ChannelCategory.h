#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

// A category of channels, kept as the server's array [name, order].
class ChannelCategory
{
public:
    static std::shared_ptr<ChannelCategory> initWithArray(const QVariantList& array);

    const QVariantList& arrayPresentation() const { return m_arrayPresentation; }
    QString name() const;
    // The sort key: the integer value of the second element.
    int order() const;
    int categoryId() const { return m_categoryId; }
    void setCategoryId(int id) { m_categoryId = id; }
    // The icon image's name for the category id ("type_010" for 1, ...); empty for others.
    QString iconName() const;

private:
    QVariantList m_arrayPresentation;
    int m_categoryId = 0;
};
