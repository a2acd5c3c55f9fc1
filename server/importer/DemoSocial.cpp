#include "DemoSocial.h"

#include "store/ScheduleStore.h"
#include "store/SocialStore.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

int DemoSocial::ensure()
{
    SocialStore social(m_store);
    if (social.userByScreenName(DemoScreenName))
        return 0;
    struct Person
    {
        QString screenName;
        QString name;
        QString description;
    };
    const QList<Person> people = {
        {DemoScreenName, u"Демо Зритель"_s, u"Смотрю всё подряд"_s},
        {u"anna_tv"_s, u"Анна Смирнова"_s, u"Сериалы и кино"_s},
        {u"sergey_sport"_s, u"Сергей Волков"_s, u"Футбол, хоккей, биатлон"_s},
        {u"olga_news"_s, u"Ольга Новикова"_s, u"Новости каждый час"_s},
        {u"mark_radio"_s, u"Марк Лебедев"_s, u"Радио в машине"_s},
    };
    QList<qint64> ids;
    for (const Person& person : people) {
        // Every demo user but the demo account signs in with the demo password too.
        const qint64 id = social.addUser(person.screenName, person.name, DemoPassword, person.description);
        if (id == 0)
            return -1;
        ids.append(id);
    }
    // The demo account follows everyone; all but the last follow it back (so that a direct
    // message to the last is refused, as the service refuses one to a non-follower).
    for (int i = 1; i < ids.size(); ++i) {
        social.follow(ids[0], ids[i], false);
        if (i < ids.size() - 1)
            social.follow(ids[i], ids[0], false);
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QList<QPair<int, QString>> posts = {
        {1, u"Вечерний фильм на #Первыйгородской сегодня отличный"_s},
        {2, u"@demo ты смотрел вчерашний матч? Судья был ужасен"_s},
        {3, u"Главные новости часа — всё по делу"_s},
        {4, u"В пробке слушаю радио, эфир сегодня живой"_s},
        {1, u"@demo посоветуй, что посмотреть вечером"_s},
        {0, u"Пробую Orvane: сам понял, какой канал я смотрю"_s},
        {2, u"Хоккей начинается, всем хорошего вечера!"_s},
        {3, u"@demo спасибо за ссылку на передачу"_s},
    };
    qint64 time = now - qint64(posts.size()) * 900;
    for (const auto& [author, text] : posts) {
        StoreMessage status;
        status.userId = ids[author];
        status.time = (time += 900);
        status.senderId = QString::number(ids[author]);
        status.senderName = people[author].name;
        status.screenName = people[author].screenName;
        status.text = text;
        status.source = u"<a href=\"https://orvane.example/\" rel=\"nofollow\">Orvane</a>"_s;
        if (text.contains(u'#'))
            status.channelId = social.channelOfHashtag(text.section(u'#', 1).section(u' ', 0, 0));
        if (social.addStatus(status) == 0)
            return -1;
    }
    return int(ids.size());
}
